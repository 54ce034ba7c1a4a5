#pragma once

// A stand-in for the browser's own interface, served by the test control's windowed object: its
// document takes a UI handler (and holds it, as the browser's document does), logging each
// SetUIHandler; every other interface comes from the object itself.

namespace fake_browser {

using LogLine = void (*)(const wchar_t* line);

// A new browser (one reference) over object (an IUnknown, passed untyped: this file is also built
// with the C form of the interfaces), as an IWebBrowser2 pointer. It holds a reference to object.
void* NewBrowser(void* object, LogLine log);

}  // namespace fake_browser
