#pragma once

// Turns a skin XML document into a control tree. The root's resource children (Image, Font,
// Default, Style, Import) fill the manager's tables, a root Window element's attributes set the
// window's attributes, and every other element becomes a control made by the control factory,
// else by the manager's plug-in creators, else by the builder callback. Elements nothing can
// create are skipped together with their children.
//
// A builder is short-lived: constructed, Create called once, destroyed after the tree exists. The
// tree it returns belongs to the caller (to the window's manager once attached as its root).

#include <windows.h>

#include <memory>
#include <utility>

#include "vellum/core/markup/xml_markup.h"

namespace Vellum {

class CControlUI;
class CPaintManagerUI;
class IContainerUI;
class IDialogBuilderCallback;
class ITreeNodeUI;

class CSkinBuilder {
 public:
  CSkinBuilder();
  ~CSkinBuilder();
  CSkinBuilder(const CSkinBuilder&) = delete;
  CSkinBuilder& operator=(const CSkinBuilder&) = delete;

  // skin is XML text (starting with "<"), a file name (resource folder or resource zip) or, below
  // 0x10000, a resource id (MAKEINTRESOURCEW) of the given type. Null when the document cannot be
  // had or yields no control.
  CControlUI* Create(const wchar_t* skin, const wchar_t* type = nullptr,
                     IDialogBuilderCallback* callback = nullptr,
                     CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
  // Builds from the document loaded by the other Create.
  CControlUI* Create(IDialogBuilderCallback* callback = nullptr,
                     CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);

  // The module resources are loaded from; null means the manager's resource module.
  void SetInstance(HINSTANCE instance) { instance_ = instance; }

  // Makes this builder draw its includes from another build's count (a child layout's file is
  // part of the skin that made the child layout).
  void ShareIncludeBudget(std::shared_ptr<int> budget) {
    if (budget) include_budget_ = std::move(budget);
  }

  CXmlMarkup* GetMarkup() { return &xml_; }
  const wchar_t* GetLastErrorMessage() const { return xml_.GetLastErrorMessage(); }
  const wchar_t* GetLastErrorLocation() const { return xml_.GetLastErrorLocation(); }

  // Builds the children of node under parent; the first control made at this level, or null.
  CControlUI* ParseChildren(CXmlMarkupNode* node, CControlUI* parent = nullptr,
                     CPaintManagerUI* manager = nullptr);

  // Nested Include elements deeper than this are not followed, so a skin that includes itself
  // ends instead of recursing without limit.
  static constexpr int kMaxIncludeDepth = 16;
  // At most this many documents are included while one skin is built, however they nest: a skin
  // that includes itself several times over would otherwise build an exponential number of copies
  // within the depth limit, and a huge "count" would loop as long.
  static constexpr int kMaxIncludes = 256;
  // Elements nested deeper than this (counted through includes too) are skipped with their
  // children: the tree's recursive building, layout and painting would run the stack out.
  static constexpr int kMaxNesting = 256;

 private:
  void LoadResources(CXmlMarkupNode& root, CPaintManagerUI* manager);
  void ApplyWindowAttributes(CXmlMarkupNode& root, CPaintManagerUI* manager);
  void ParseInclude(CXmlMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager);
  CControlUI* CreateByName(const wchar_t* element_name, CPaintManagerUI* manager);
  // Adds control under parent: tree nodes through the node or view interfaces, anything else under
  // a node into its row, everything else into the parent's container. tree_node is control's own
  // node interface, or null.
  bool AttachToParent(CControlUI* control, ITreeNodeUI* tree_node, CControlUI* parent,
                      IContainerUI* container);

  CXmlMarkup xml_;
  IDialogBuilderCallback* callback_ = nullptr;
  const wchar_t* resource_type_ = nullptr;
  HINSTANCE instance_ = nullptr;
  int include_depth_ = 0;
  // Documents left to include for the whole skin: nested builders, and the child layouts this
  // build makes (whenever they build their files), share the outermost builder's count.
  std::shared_ptr<int> include_budget_ = std::make_shared<int>(kMaxIncludes);
};

}  // namespace Vellum
