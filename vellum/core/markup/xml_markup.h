#pragma once

#include <windows.h>

#include <vector>

#include "vellum/core/base/ui_string.h"

namespace Vellum {

// Encodings of the bytes handed to LoadFromMem and LoadFromFile.
enum {
  XMLFILE_ENCODING_UTF8 = 0,
  XMLFILE_ENCODING_UNICODE = 1,  // UTF-16 with a byte-order mark
  XMLFILE_ENCODING_ANSI = 2,     // the system code page
};

// How LoadFromFile reaches skin files. The process-wide resource location installs one; without it a
// name is read from the file system as given.
class IXmlFileSource {
 public:
  enum ZipStatus { kZipOk, kZipNoArchive, kZipNotFound, kZipUnzipFailed };

  virtual ~IXmlFileSource() = default;
  // The folder that file names are relative to (ends with a separator when set).
  virtual CUIString GetResourcePath() = 0;
  // True when skin files come from the resource zip rather than the folder.
  virtual bool UsesResourceZip() = 0;
  // Finds the zip entry (the name has "/" separators and is matched ignoring case) and reports its
  // uncompressed size in *size; reads it into *bytes only when 0 < size <= max_size. A zip opened for
  // this call only is closed before returning.
  virtual ZipStatus ReadZipEntry(const wchar_t* entry_name, DWORD max_size, DWORD* size,
                                 std::vector<BYTE>* bytes) = 0;
};

// Installs the source LoadFromFile uses; returns the previous one (null: the file system as is).
IXmlFileSource* SetXmlFileSource(IXmlFileSource* source);

class CXmlMarkup;

// A value handle on one element of a parsed document. Attributes are located on first use. A node
// is valid only while its document keeps the same parse.
class CXmlMarkupNode {
 public:
  CXmlMarkupNode();

  bool IsValid() const { return owner_ != nullptr; }
  const wchar_t* GetName() const;
  CXmlMarkupNode GetChild() const;
  CXmlMarkupNode GetSibling() const;
  bool HasChildren() const;

  bool HasAttributes();
  int GetAttributeCount();
  // The text of attribute i: "" for an index out of range, null for an invalid node.
  const wchar_t* GetAttributeName(int index);
  const wchar_t* GetAttributeValue(int index);
  // Copies the value of the first attribute named so (ignoring case) into buffer, which holds max
  // characters including the terminator: a longer value is cut, and the buffer is always terminated.
  bool GetAttributeValue(const wchar_t* name, wchar_t* buffer, SIZE_T max);

  static constexpr int kMaxAttributes = 64;

 private:
  friend class CXmlMarkup;
  CXmlMarkupNode(CXmlMarkup* owner, ULONG position);
  void MapAttributes();

  struct AttributeSlot {
    ULONG name;
    ULONG value;
  };

  ULONG position_;
  int attribute_count_;  // 0: not mapped yet
  AttributeSlot attributes_[kMaxAttributes];
  CXmlMarkup* owner_;
};

// One skin document: the bytes are decoded to UTF-16 and parsed in place into a flat array of element
// records; names and values are terminated inside the one text buffer. Element 0 is a placeholder,
// the root is element 1.
class CXmlMarkup {
 public:
  explicit CXmlMarkup(const wchar_t* text = nullptr);
  ~CXmlMarkup();
  CXmlMarkup(const CXmlMarkup&) = delete;
  CXmlMarkup& operator=(const CXmlMarkup&) = delete;

  bool Load(const wchar_t* text);
  bool LoadFromMem(const BYTE* bytes, DWORD length, int encoding = XMLFILE_ENCODING_UTF8);
  bool LoadFromFile(const wchar_t* name, int encoding = XMLFILE_ENCODING_UTF8);
  void Release();

  CXmlMarkupNode GetRoot();

  // The last error: its message and the text where parsing stopped (both empty after a success).
  const wchar_t* GetLastErrorMessage() const { return error_message_; }
  const wchar_t* GetLastErrorLocation() const { return error_location_; }

  // The largest skin file LoadFromFile accepts.
  static constexpr DWORD kMaxFileSize = 0x400000;

 private:
  friend class CXmlMarkupNode;

  struct Element {
    ULONG name;    // character positions in the text, element indices otherwise
    ULONG child;   // 0: none
    ULONG next;    // 0: none
    ULONG parent;
    ULONG data;    // start of the element's text, or of "/>" for an empty element
  };

  bool Parse();
  bool AddElement(ULONG name, ULONG parent, ULONG* index);
  bool ParseAttributes(wchar_t*& p);
  bool CloseElement(ULONG index, wchar_t*& p);
  void TerminateName(ULONG index);
  wchar_t* DecodeInPlace(wchar_t*& p, wchar_t stop);
  bool Failed(const wchar_t* message, const wchar_t* location = L"");
  void ClearError();
  bool ReadFileBytes(const wchar_t* name, std::vector<BYTE>* bytes);

  wchar_t* text_ = nullptr;
  Element* elements_ = nullptr;
  ULONG element_count_ = 0;
  ULONG element_capacity_ = 0;
  bool preserve_whitespace_ = true;
  wchar_t error_message_[100] = {};
  wchar_t error_location_[50] = {};
};

}  // namespace Vellum
