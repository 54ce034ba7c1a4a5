#pragma once

// A process-wide table of replacement texts, image paths and XML paths, so that skins can refer to
// resources by id. Nothing in this program fills the tables, so every lookup falls through: names
// stay as written and text ids show as they are.

#include "vellum/core/base/ui_string.h"
#include "vellum/core/base/ui_string_map.h"

namespace Vellum {

// Supplies the text for a resource id; windows may implement it. A null answer means "no text".
class IQueryControlText {
 public:
  virtual const wchar_t* QueryControlText(const wchar_t* id, const wchar_t* type) = 0;

 protected:
  ~IQueryControlText() = default;
};

class CResourceStore {
 public:
  // Created on first use, never destroyed.
  static CResourceStore* GetInstance();

  // The mapped path, or null.
  const wchar_t* GetImagePath(const wchar_t* name) const;
  const wchar_t* GetXmlPath(const wchar_t* name) const;
  // The text of an id: from the text table, else from the text-query callback (the answer is kept),
  // else the id itself. A null id gives the empty text.
  CUIString GetText(const wchar_t* id, const wchar_t* type = nullptr);

  CResourceStore(const CResourceStore&) = delete;
  CResourceStore& operator=(const CResourceStore&) = delete;

 private:
  friend class CResourceStoreTestAccess;

  CResourceStore();
  ~CResourceStore() = default;

  CUIStringMap texts_;  // id -> owned CUIString*
  IQueryControlText* text_query_ = nullptr;
  CUIStringMap image_paths_;  // name -> owned CUIString*
  CUIStringMap xml_paths_;    // name -> owned CUIString*
};

}  // namespace Vellum
