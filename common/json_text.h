#pragma once

#include <map>
#include <string>

// Compact JSON text written straight from strings, byte for byte as the JSON library writes the same
// values (non-ASCII kept as UTF-8), without building its document first. Statistics events are built
// for every send, and the document's allocations were most of their cost.
namespace json_text {

// True when `text` is strict UTF-8: no overlong forms, surrogates or code points above U+10FFFF, as
// the JSON library demands of every text it writes.
bool IsValidUtf8(const std::string& text);

// Appends `text` as a quoted JSON string: quote, backslash and the control characters escaped (the
// usual short forms, the others as \u00xx), every other byte as it is. `text` must be valid UTF-8.
void AppendString(const std::string& text, std::string* out);

// The object of a statistics event's fields, members in key order: "true" and "false" become the
// JSON literals, an empty value leaves its member out, any other value is a string. False, with
// `*out` untouched, when a key or value is not valid UTF-8.
bool WriteFieldObject(const std::map<std::string, std::string>& fields, std::string* out);

}  // namespace json_text
