#include "vellum/core/resources/resource_store.h"

namespace Vellum {

namespace {

const wchar_t* MappedText(const CUIStringMap& map, const wchar_t* name) {
  if (!name) return nullptr;
  const auto* text = static_cast<const CUIString*>(map.Find(name));
  return text ? text->GetData() : nullptr;
}

}  // namespace

CResourceStore::CResourceStore() : texts_(83), image_paths_(83), xml_paths_(83) {}

CResourceStore* CResourceStore::GetInstance() {
  static CResourceStore* store = new CResourceStore;
  return store;
}

const wchar_t* CResourceStore::GetImagePath(const wchar_t* name) const {
  return MappedText(image_paths_, name);
}

const wchar_t* CResourceStore::GetXmlPath(const wchar_t* name) const {
  return MappedText(xml_paths_, name);
}

CUIString CResourceStore::GetText(const wchar_t* id, const wchar_t* type) {
  if (!id) return CUIString();
  if (const auto* text = static_cast<const CUIString*>(texts_.Find(id))) return *text;
  if (text_query_) {
    if (const wchar_t* answer = text_query_->QueryControlText(id, type)) {
      auto* kept = new CUIString(answer);
      texts_.Insert(id, kept);
      return *kept;
    }
  }
  return CUIString(id);
}

}  // namespace Vellum
