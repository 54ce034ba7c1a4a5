#include "vellum/core/markup/xml_markup.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <new>

#include "common/base/scoped_handle.h"

namespace Vellum {
namespace {

IXmlFileSource* g_file_source = nullptr;

inline bool IsSpace(wchar_t c) { return c > 0 && c <= 32; }

inline void SkipWhitespace(wchar_t*& p) {
  while (IsSpace(*p)) ++p;
}

inline void SkipWhitespace(const wchar_t*& p) {
  while (IsSpace(*p)) ++p;
}

// Element and attribute names: letters, digits, ':' and '_'. ASCII goes through a table: names are
// the bulk of a skin's characters.
struct AsciiNameTable {
  bool name[128] = {};
  constexpr AsciiNameTable() {
    for (int c = 0; c < 128; ++c) {
      name[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':' || c == '_';
    }
  }
};
constexpr AsciiNameTable kAsciiNames;

inline bool IsNameChar(wchar_t c) {
  if (c < 0x80) return kAsciiNames.name[c];
  return std::iswalnum(c) != 0;
}

inline wchar_t* SkipName(wchar_t* p) {
  while (IsNameChar(*p)) ++p;
  return p;
}

// Matches one of the five entities after an ampersand; returns the character and the length of the
// entity name with its semicolon, or 0.
inline wchar_t MatchEntity(const wchar_t* p, int* length) {
  switch (p[0]) {
    case L'a':
      if (p[1] == L'm' && p[2] == L'p' && p[3] == L';') {
        *length = 4;
        return L'&';
      }
      if (p[1] == L'p' && p[2] == L'o' && p[3] == L's' && p[4] == L';') {
        *length = 5;
        return L'\'';
      }
      return 0;
    case L'l':
      if (p[1] == L't' && p[2] == L';') {
        *length = 3;
        return L'<';
      }
      return 0;
    case L'g':
      if (p[1] == L't' && p[2] == L';') {
        *length = 3;
        return L'>';
      }
      return 0;
    case L'q':
      if (p[1] == L'u' && p[2] == L'o' && p[3] == L't' && p[4] == L';') {
        *length = 5;
        return L'"';
      }
      return 0;
    default:
      return 0;
  }
}

// Decodes bytes of a code page into a fresh terminated text; null when nothing could be decoded.
wchar_t* DecodeMultiByte(UINT code_page, const BYTE* bytes, DWORD length) {
  if (length == 0 || length > static_cast<DWORD>(INT_MAX) - 1) return nullptr;
  // A UTF-16 text never has more units than its multi-byte form has bytes: one pass is enough.
  auto* text = static_cast<wchar_t*>(std::malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
  if (text == nullptr) return nullptr;
  const int count = MultiByteToWideChar(code_page, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(length),
                                        text, static_cast<int>(length));
  if (count <= 0) {
    std::free(text);
    return nullptr;
  }
  text[count] = L'\0';
  return text;
}

wchar_t* DecodeUtf16(const BYTE* bytes, DWORD length) {
  if (length < 2) return nullptr;
  const bool little_endian = bytes[0] == 0xFF && bytes[1] == 0xFE;
  const bool big_endian = bytes[0] == 0xFE && bytes[1] == 0xFF;
  if (!little_endian && !big_endian) return nullptr;
  const size_t count = length / 2 - 1;
  auto* text = static_cast<wchar_t*>(std::malloc((count + 1) * sizeof(wchar_t)));
  if (text == nullptr) return nullptr;
  std::memcpy(text, bytes + 2, count * sizeof(wchar_t));
  if (big_endian) {
    for (size_t i = 0; i < count; ++i) text[i] = static_cast<wchar_t>((text[i] >> 8) | (text[i] << 8));
  }
  text[count] = L'\0';
  return text;
}

}  // namespace

IXmlFileSource* SetXmlFileSource(IXmlFileSource* source) {
  IXmlFileSource* previous = g_file_source;
  g_file_source = source;
  return previous;
}

// ---------------------------------------------------------------------------------------------------
// CXmlMarkup

CXmlMarkup::CXmlMarkup(const wchar_t* text) {
  if (text != nullptr) Load(text);
}

CXmlMarkup::~CXmlMarkup() { Release(); }

void CXmlMarkup::Release() {
  std::free(text_);
  std::free(elements_);
  text_ = nullptr;
  elements_ = nullptr;
  element_count_ = 0;
  element_capacity_ = 0;
}

void CXmlMarkup::ClearError() {
  error_message_[0] = L'\0';
  error_location_[0] = L'\0';
}

bool CXmlMarkup::Failed(const wchar_t* message, const wchar_t* location) {
  wcsncpy(error_message_, message, 99);
  error_message_[99] = L'\0';
  wcsncpy(error_location_, location, 49);
  error_location_[49] = L'\0';
  return false;
}

bool CXmlMarkup::Load(const wchar_t* text) {
  Release();
  ClearError();
  if (text == nullptr) text = L"";
  const size_t length = std::wcslen(text);
  text_ = static_cast<wchar_t*>(std::malloc((length + 1) * sizeof(wchar_t)));
  if (text_ == nullptr) return false;
  std::memcpy(text_, text, (length + 1) * sizeof(wchar_t));
  if (!Parse()) {
    Release();
    return false;
  }
  return true;
}

bool CXmlMarkup::LoadFromMem(const BYTE* bytes, DWORD length, int encoding) {
  Release();
  ClearError();
  if (bytes == nullptr) return false;
  switch (encoding) {
    case XMLFILE_ENCODING_UTF8:
      if (length > 2 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bytes += 3;
        length -= 3;
      }
      text_ = DecodeMultiByte(CP_UTF8, bytes, length);
      break;
    case XMLFILE_ENCODING_UNICODE:
      text_ = DecodeUtf16(bytes, length);
      break;
    case XMLFILE_ENCODING_ANSI:
      text_ = DecodeMultiByte(CP_ACP, bytes, length);
      break;
    default:
      break;
  }
  if (text_ == nullptr) return false;
  if (!Parse()) {
    Release();
    return false;
  }
  return true;
}

bool CXmlMarkup::ReadFileBytes(const wchar_t* name, std::vector<BYTE>* bytes) {
  CUIString path = g_file_source != nullptr ? g_file_source->GetResourcePath() : CUIString();
  path += name;
  ScopedHandle file(CreateFileW(path.GetData(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return Failed(L"Error opening file");
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.get(), &size)) return Failed(L"Could not read file");
  if (size.QuadPart == 0) return Failed(L"File is empty");
  if (size.QuadPart > kMaxFileSize) return Failed(L"File too large");
  try {
    bytes->resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return Failed(L"Could not read file");
  }
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) ||
      read < bytes->size()) {
    return Failed(L"Could not read file");
  }
  return true;
}

bool CXmlMarkup::LoadFromFile(const wchar_t* name, int encoding) {
  Release();
  ClearError();
  if (name == nullptr) return Failed(L"Error opening file");
  std::vector<BYTE> bytes;
  if (g_file_source == nullptr || !g_file_source->UsesResourceZip()) {
    if (!ReadFileBytes(name, &bytes)) return false;
  } else {
    CUIString entry(name);
    entry.Replace(L"\\", L"/");
    DWORD size = 0;
    IXmlFileSource::ZipStatus status = IXmlFileSource::kZipUnzipFailed;
    try {
      status = g_file_source->ReadZipEntry(entry.GetData(), kMaxFileSize, &size, &bytes);
    } catch (const std::bad_alloc&) {
      status = IXmlFileSource::kZipUnzipFailed;
    }
    switch (status) {
      case IXmlFileSource::kZipNoArchive:
        return Failed(L"Error opening zip file");
      case IXmlFileSource::kZipNotFound:
        return Failed(L"Could not find ziped file");
      case IXmlFileSource::kZipUnzipFailed:
        if (size == 0) return Failed(L"File is empty");
        if (size > kMaxFileSize) return Failed(L"File too large");
        return Failed(L"Could not unzip file");
      case IXmlFileSource::kZipOk:
        if (size == 0) return Failed(L"File is empty");
        if (size > kMaxFileSize) return Failed(L"File too large");
        if (bytes.size() != size) return Failed(L"Could not unzip file");
        break;
    }
  }
  return LoadFromMem(bytes.data(), static_cast<DWORD>(bytes.size()), encoding);
}

CXmlMarkupNode CXmlMarkup::GetRoot() {
  if (element_count_ < 2) return CXmlMarkupNode();
  return CXmlMarkupNode(this, 1);
}

bool CXmlMarkup::AddElement(ULONG name, ULONG parent, ULONG* index) {
  if (element_count_ == element_capacity_) {
    const unsigned long long capacity =
        static_cast<unsigned long long>(element_capacity_) + element_capacity_ / 2 + 500;
    if (capacity * sizeof(Element) > SIZE_MAX || capacity > ULONG_MAX) return false;
    void* block = std::realloc(elements_, static_cast<size_t>(capacity) * sizeof(Element));
    if (block == nullptr) return false;
    elements_ = static_cast<Element*>(block);
    element_capacity_ = static_cast<ULONG>(capacity);
  }
  *index = element_count_++;
  elements_[*index] = Element{name, 0, 0, parent, 0};
  return true;
}

// Decodes the five entities in one pass, writing behind the read position. Stops at the stop
// character or the end of the text and returns the write position; the gap up to the read position
// is filled with blanks. The delimiters are all ASCII, so stepping one unit at a time copies exactly
// what a character-wise step would.
wchar_t* CXmlMarkup::DecodeInPlace(wchar_t*& p, wchar_t stop) {
  wchar_t* read = p;
  if (preserve_whitespace_) {
    while (*read != L'\0' && *read != stop && *read != L'&') ++read;  // nothing to rewrite yet
  }
  wchar_t* write = read;
  while (*read != L'\0' && *read != stop) {
    if (*read == L'&') {
      int length = 0;
      const wchar_t decoded = MatchEntity(read + 1, &length);
      if (decoded != 0) {
        *write++ = decoded;
        read += 1 + length;
        continue;
      }
    } else if (*read == L' ' && !preserve_whitespace_) {
      *write++ = *read++;
      SkipWhitespace(read);
      continue;
    }
    *write++ = *read++;
  }
  for (wchar_t* blank = write; blank < read; ++blank) *blank = L' ';
  p = read;
  return write;
}

bool CXmlMarkup::ParseAttributes(wchar_t*& p) {
  if ((p[0] == L'/' && p[1] == L'>') || p[0] == L'>') return true;
  *p++ = L'\0';
  for (;;) {
    SkipWhitespace(p);
    if (*p == L'\0' || *p == L'/' || *p == L'>') return true;
    wchar_t* name_end = SkipName(p);
    p = name_end;
    SkipWhitespace(p);
    if (*p != L'=') return Failed(L"Error while parsing attributes", p);
    *p++ = L' ';
    *name_end = L'\0';
    SkipWhitespace(p);
    if (*p != L'"') return Failed(L"Expected attribute value", p);
    ++p;
    wchar_t* value_end = DecodeInPlace(p, L'"');
    if (*p == L'\0') return Failed(L"Error while parsing attribute string", p);
    // The value ends where its decoded text ends; what entities freed up, and the closing quote,
    // become blanks that the attribute mapping skips.
    *value_end = L'\0';
    for (wchar_t* blank = value_end + 1; blank <= p; ++blank) *blank = L' ';
    ++p;
  }
}

void CXmlMarkup::TerminateName(ULONG index) { *SkipName(text_ + elements_[index].name) = L'\0'; }

// Reads the end tag of an element when one follows (p is at "</" or at the end of the text) and
// terminates the element's name.
bool CXmlMarkup::CloseElement(ULONG index, wchar_t*& p) {
  wchar_t* name = text_ + elements_[index].name;
  wchar_t* name_end = SkipName(name);
  if (p[0] == L'<' && p[1] == L'/') {
    *p = L'\0';
    p += 2;
    const size_t length = static_cast<size_t>(name_end - name);
    if (std::wcsncmp(p, name, length) != 0) return Failed(L"Unmatched closing tag", p);
    p += length;
    SkipWhitespace(p);
    if (*p != L'>') return Failed(L"Unmatched closing tag", p);
    ++p;
  }
  *name_end = L'\0';
  return true;
}

// The elements of one level are read in a loop; going down a level and back up follows the parent
// links of the element records, so nesting depth costs no stack.
bool CXmlMarkup::Parse() {
  std::free(elements_);
  elements_ = nullptr;
  element_count_ = 0;
  element_capacity_ = 0;
  ClearError();
  ULONG placeholder = 0;
  if (!AddElement(0, 0, &placeholder)) return false;

  wchar_t* p = text_;
  ULONG parent = 0;
  ULONG previous = 0;
  for (;;) {
    SkipWhitespace(p);
    if (*p == L'\0' && parent <= 1) {
      if (parent == 1) TerminateName(1);
      return true;
    }
    if (*p != L'<') return Failed(L"Expected start tag", p);
    if (p[1] == L'/') {
      if (parent == 0) return true;  // an end tag at the top ends the document
      if (!CloseElement(parent, p)) return false;
      previous = parent;
      parent = elements_[parent].parent;
      continue;
    }
    *p++ = L'\0';

    if (*p == L'!' || *p == L'?') {  // comments and processing instructions
      const wchar_t close = *p == L'!' ? L'-' : L'?';
      while (*p != L'\0' && !(p[0] == close && p[1] == L'>')) ++p;
      if (*p != L'\0') p += 2;
      continue;
    }

    ULONG index = 0;
    if (!AddElement(static_cast<ULONG>(p - text_), parent, &index)) return false;
    if (previous == 0) {
      elements_[parent].child = index;
    } else {
      elements_[previous].next = index;
    }
    previous = index;

    wchar_t* name_end = SkipName(p);
    p = name_end;
    if (*p == L'\0') return Failed(L"Error parsing element name", p);
    if (!ParseAttributes(p)) return false;

    if (p[0] == L'/' && p[1] == L'>') {
      elements_[index].data = static_cast<ULONG>(p - text_);
      *p = L'\0';
      p += 2;
      *name_end = L'\0';
      continue;
    }
    if (*p != L'>') return Failed(L"Expected start-tag closing", p);
    ++p;
    elements_[index].data = static_cast<ULONG>(p - text_);
    DecodeInPlace(p, L'<');
    if (*p == L'\0' && parent <= 1) {
      *name_end = L'\0';
      if (parent == 1) TerminateName(1);
      return true;
    }
    if (*p != L'<') return Failed(L"Expected end-tag start", p);
    if (p[1] != L'/') {  // children follow
      parent = index;
      previous = 0;
      continue;
    }
    if (!CloseElement(index, p)) return false;
  }
}

// ---------------------------------------------------------------------------------------------------
// CXmlMarkupNode

CXmlMarkupNode::CXmlMarkupNode() : position_(0), attribute_count_(0), attributes_(), owner_(nullptr) {}

CXmlMarkupNode::CXmlMarkupNode(CXmlMarkup* owner, ULONG position)
    : position_(position), attribute_count_(0), attributes_(), owner_(owner) {}

const wchar_t* CXmlMarkupNode::GetName() const {
  if (owner_ == nullptr) return nullptr;
  return owner_->text_ + owner_->elements_[position_].name;
}

CXmlMarkupNode CXmlMarkupNode::GetChild() const {
  if (owner_ == nullptr) return CXmlMarkupNode();
  const ULONG child = owner_->elements_[position_].child;
  return child != 0 ? CXmlMarkupNode(owner_, child) : CXmlMarkupNode();
}

CXmlMarkupNode CXmlMarkupNode::GetSibling() const {
  if (owner_ == nullptr) return CXmlMarkupNode();
  const ULONG next = owner_->elements_[position_].next;
  return next != 0 ? CXmlMarkupNode(owner_, next) : CXmlMarkupNode();
}

bool CXmlMarkupNode::HasChildren() const {
  return owner_ != nullptr && owner_->elements_[position_].child != 0;
}

void CXmlMarkupNode::MapAttributes() {
  attribute_count_ = 0;
  const wchar_t* text = owner_->text_;
  const CXmlMarkup::Element& element = owner_->elements_[position_];
  const wchar_t* const end = text + element.data;
  const wchar_t* p = text + element.name;
  p += std::wcslen(p) + 1;
  while (attribute_count_ < kMaxAttributes) {
    while (p < end && IsSpace(*p)) ++p;
    // A NUL here is the terminator of an empty attribute name, which the parser accepts.
    if (p >= end || *p == L'>' || *p == L'/') break;
    const wchar_t* name = p;
    p += std::wcslen(p) + 1;
    while (p < end && IsSpace(*p)) ++p;
    if (p >= end || *p != L'"') break;
    ++p;
    attributes_[attribute_count_].name = static_cast<ULONG>(name - text);
    attributes_[attribute_count_].value = static_cast<ULONG>(p - text);
    ++attribute_count_;
    p += std::wcslen(p) + 1;
  }
}

bool CXmlMarkupNode::HasAttributes() { return GetAttributeCount() > 0; }

int CXmlMarkupNode::GetAttributeCount() {
  if (owner_ == nullptr) return 0;
  if (attribute_count_ == 0) MapAttributes();
  return attribute_count_;
}

const wchar_t* CXmlMarkupNode::GetAttributeName(int index) {
  if (owner_ == nullptr) return nullptr;
  if (index < 0 || index >= GetAttributeCount()) return L"";
  return owner_->text_ + attributes_[index].name;
}

const wchar_t* CXmlMarkupNode::GetAttributeValue(int index) {
  if (owner_ == nullptr) return nullptr;
  if (index < 0 || index >= GetAttributeCount()) return L"";
  return owner_->text_ + attributes_[index].value;
}

bool CXmlMarkupNode::GetAttributeValue(const wchar_t* name, wchar_t* buffer, SIZE_T max) {
  if (owner_ == nullptr || name == nullptr || buffer == nullptr || max == 0) return false;
  const int count = GetAttributeCount();
  for (int i = 0; i < count; ++i) {
    if (_wcsicmp(owner_->text_ + attributes_[i].name, name) != 0) continue;
    const wchar_t* value = owner_->text_ + attributes_[i].value;
    const size_t length = wcsnlen(value, max - 1);
    std::wmemcpy(buffer, value, length);
    buffer[length] = L'\0';
    return true;
  }
  return false;
}

}  // namespace Vellum
