#include "vellum/core/layout/child_layout.h"

#include "vellum/core/markup/dialog_builder.h"

namespace Vellum {

CChildLayoutUI::CChildLayoutUI() = default;

CControlUI* CChildLayoutUI::CreateControl() { return new CChildLayoutUI(); }

const wchar_t* CChildLayoutUI::GetClass() const { return L"ChildLayoutUI"; }

LPVOID CChildLayoutUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ChildLayout") == 0) return static_cast<CChildLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

void CChildLayoutUI::Init() {
  if (xml_file_.IsEmpty()) return;
  CSkinBuilder builder;
  CControlUI* root = builder.Create(xml_file_.GetData(), nullptr, nullptr, manager_, nullptr);
  if (root) {
    Add(root);
  } else {
    RemoveAll();
  }
}

void CChildLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name && _wcsicmp(name, L"xmlfile") == 0) {
    SetChildLayoutXML(value);
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

void CChildLayoutUI::SetChildLayoutXML(const wchar_t* file_name) { xml_file_ = file_name; }
const CUIString& CChildLayoutUI::GetChildLayoutXML() const { return xml_file_; }

}  // namespace Vellum
