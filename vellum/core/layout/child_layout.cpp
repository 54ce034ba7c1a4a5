#include "vellum/core/layout/child_layout.h"

#include <vector>

#include "vellum/core/markup/dialog_builder.h"

namespace Vellum {

CChildLayoutUI::CChildLayoutUI() = default;

CControlUI* CChildLayoutUI::CreateControl() { return new CChildLayoutUI(); }

const wchar_t* CChildLayoutUI::GetClass() const { return L"ChildLayoutUI"; }

LPVOID CChildLayoutUI::GetInterface(const wchar_t* name) {
  if (name && _wcsicmp(name, L"ChildLayout") == 0) return static_cast<CChildLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

namespace {

// A child layout builds its file when it is attached, and the built tree's own child layouts are
// attached (and so built) before that returns. A file that holds itself, directly or through
// others, would recurse until the stack runs out: a file already being built further up is not
// built again, and nesting stops at a depth no real skin reaches (another spelling of the same
// path still ends there).
constexpr size_t kMaxChildLayoutNesting = 16;

std::vector<CUIString>& FilesBeingBuilt() {
  static thread_local std::vector<CUIString> files;
  return files;
}

bool MayBuild(const CUIString& file) {
  const std::vector<CUIString>& files = FilesBeingBuilt();
  if (files.size() >= kMaxChildLayoutNesting) return false;
  for (const CUIString& open : files) {
    if (open.CompareNoCase(file.GetData()) == 0) return false;
  }
  return true;
}

}  // namespace

void CChildLayoutUI::Init() {
  if (xml_file_.IsEmpty()) return;
  if (!MayBuild(xml_file_)) return;
  if (include_budget_) {
    if (*include_budget_ <= 0) return;
    --*include_budget_;
  }
  FilesBeingBuilt().push_back(xml_file_);
  struct Unwind {
    ~Unwind() { FilesBeingBuilt().pop_back(); }
  } unwind;
  CSkinBuilder builder;
  builder.ShareIncludeBudget(include_budget_);
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
