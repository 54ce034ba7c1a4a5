#include "common/json_text.h"

namespace json_text {

bool IsValidUtf8(const std::string& text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int extra;
    unsigned char low = 0x80;  // bounds of the second byte, which rule out overlong forms,
    unsigned char high = 0xBF;  // surrogates and code points above U+10FFFF
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (end - p <= extra || p[1] < low || p[1] > high) return false;
    for (int i = 2; i <= extra; ++i) {
      if (p[i] < 0x80 || p[i] > 0xBF) return false;
    }
    p += extra + 1;
  }
  return true;
}

void AppendString(const std::string& text, std::string* out) {
  static const char kHex[] = "0123456789abcdef";
  out->push_back('"');
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out->append("\\\""); break;
      case '\\': out->append("\\\\"); break;
      case '\b': out->append("\\b"); break;
      case '\f': out->append("\\f"); break;
      case '\n': out->append("\\n"); break;
      case '\r': out->append("\\r"); break;
      case '\t': out->append("\\t"); break;
      default:
        if (c < 0x20) {
          const char escaped[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
          out->append(escaped, sizeof(escaped));
        } else {
          out->push_back(ch);
        }
    }
  }
  out->push_back('"');
}

bool WriteFieldObject(const std::map<std::string, std::string>& fields, std::string* out) {
  size_t size = 2;
  for (const auto& [key, value] : fields) {
    if (!IsValidUtf8(key) || !IsValidUtf8(value)) return false;
    size += key.size() + value.size() + 6;
  }
  std::string text;
  text.reserve(size);
  text.push_back('{');
  for (const auto& [key, value] : fields) {
    if (value.empty()) continue;
    if (text.size() > 1) text.push_back(',');
    AppendString(key, &text);
    text.push_back(':');
    if (value == "true" || value == "false") {
      text.append(value);
    } else {
      AppendString(value, &text);
    }
  }
  text.push_back('}');
  *out = std::move(text);
  return true;
}

}  // namespace json_text
