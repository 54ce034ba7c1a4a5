#pragma once

// A fake document for the script-error command: the document gives its window, the window its
// event, and the event answers the error properties by name, recording each read.

#include <windows.h>

#include <string>
#include <vector>

namespace script_error_fakes {

struct Record {
  std::vector<std::wstring> reads;  // "errorLine", ... in the order they were read
};

// A new document (one reference), as an IUnknown pointer: this file is also built with the C form of
// the interfaces, where IUnknown is another type. with_event false: its window has no event object.
void* NewDocument(Record* record, bool with_event);

}  // namespace script_error_fakes
