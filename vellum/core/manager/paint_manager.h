#pragma once

// The per-window hub of the framework: one CPaintManagerUI per framework window. It owns the
// window's control tree (the root and, through the containers, every control), its fonts, images,
// parsed image descriptions, default attribute lists, styles, option groups, timers, queued
// notifications and the off-screen bitmap it paints into. It turns the window's messages into
// control events and notifications and paints the tree. Notifiers, message filters and post-paint
// controls are registered here but not owned. Whatever a control registers here (itself as a
// notifier, filter or translator, its timers, focus, capture, hover, post-paint and option-group
// places) is undone by every living manager when the control dies, attached to it or not: the
// control base's destructor calls ForgetDyingControl, so no family needs to unregister as it dies.
//
// Its static half is process-wide: the resource location (where skin files come from: the module,
// an optional resource folder, an optional zip archive), the list of live managers and the shared
// resource tables that every window falls back on. All of it is used on the UI thread without locks.
//
// The work is split by concern: paint_manager_resources.cpp (life cycle, tables, window
// attributes, DPI), paint_manager_messages.cpp (messages to events, key state, mouse moves and
// buttons, close), paint_manager_hover.cpp (hover and tool tips), paint_manager_focus.cpp (focus
// and tab order), paint_manager_timers.cpp (capture and timers), paint_manager_notify.cpp
// (notifications, deferred work and deletion, the notifier and filter lists),
// paint_manager_tree.cpp (attaching and initialising controls, the control look-ups),
// paint_manager_painting.cpp (WM_PAINT, layered windows, invalidation) and
// paint_manager_drag_drop.cpp (the drag from a control and the drop on the window).

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>

#include <memory>
#include <vector>

#include "vellum/core/base/ui_events.h"
#include "vellum/core/base/ui_ptr_array.h"
#include "vellum/core/base/ui_string.h"
#include "vellum/core/base/ui_string_map.h"
#include "vellum/core/resources/zip/zip_reader.h"

namespace Vellum {

class CControlUI;
class CDpiScaler;
class CPaintDCPoolUI;
class CShadowUI;
struct TImageDrawInfo;
struct TUIImageInfo;

// One font of a table. The size is kept as written in the skin (unscaled points); the handle is
// created at the window's scale. A text-metrics height of 0 means not yet measured.
struct TUIFontInfo {
  HFONT handle = nullptr;
  CUIString face_name;
  int size = 0;
  bool bold = false;
  bool underline = false;
  bool italic = false;
  TEXTMETRICW tm{};
};

// A creator consulted by the skin builder after the factory: a new control for the element name,
// or null.
using PluginControlCreator = CControlUI* (*)(const wchar_t* class_name);

// The deferred-work message (queued notifications and deletions). It is always posted with
// wParam 0 and lParam 0, so a window that also uses it for tray callbacks can tell the two apart.
constexpr UINT kDeferredWorkMessage = 0x8001;
// Posted to a window after SetDPI changed its scale.
constexpr UINT kDpiChangedMessage = WM_USER + 2;

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  // ---- Resource location (process-wide) ----
  static void SetInstance(HINSTANCE instance);
  static HINSTANCE GetInstance();
  // The resource module when one is set, else the instance.
  static HINSTANCE GetResourceModule();
  static const CUIString& GetResourcePath();
  static const CUIString& GetResourceZip();
  static HZIP GetResourceZipHandle();
  static const CUIString& GetResourceZipPassword();
  static bool IsCachedResourceZip();
  // Hands over a skin archive held in memory. Only the first call counts: the copy it makes and the
  // archive opened on it serve every later read for the rest of the process.
  static void SetResourceZip(const void* bytes, unsigned int size, const wchar_t* password = nullptr);

  // ---- Process-wide state ----
  // The global HSL adjustment applied to images as they are added; returns whether it is on.
  static bool GetHSL(short* hue, short* saturation, short* lightness);
  // Plug-in creators for the skin builder (empty unless a program adds some).
  static std::vector<PluginControlCreator>& GetControlCreators();
  // Every live manager (CPaintManagerUI*), in the order they were initialised with a window.
  static const CUIPtrArray& GetPaintManagers();

  // ---- Life cycle ----
  // Resets the window's tables (fonts, images, styles, default attribute lists, custom attributes,
  // option groups, timers) and binds the manager to the window.
  void Init(HWND window, const wchar_t* name = nullptr);
  const CUIString& GetName() const { return name_; }

  // ---- DPI ----
  // Created on first use.
  CDpiScaler* GetDpiScaler();
  // Before the window exists only the scale changes.
  void SetDPI(int dpi);
  void ResetDPIAssets();

  // ---- Default colours (ARGB) ----
  DWORD GetDefaultDisabledColor() const;
  DWORD GetDefaultFontColor() const;
  DWORD GetDefaultLinkFontColor() const;
  DWORD GetDefaultLinkHoverFontColor() const;
  DWORD GetDefaultSelectedBkColor() const;
  // With shared the shared colour changes, and the window's follows only while it still equals
  // the old shared colour.
  void SetDefaultDisabledColor(DWORD color, bool shared = false);
  void SetDefaultFontColor(DWORD color, bool shared = false);
  void SetDefaultLinkFontColor(DWORD color, bool shared = false);
  void SetDefaultLinkHoverFontColor(DWORD color, bool shared = false);
  void SetDefaultSelectedBkColor(DWORD color, bool shared = false);

  // ---- Fonts ----
  // Null when the font cannot be created (nothing is stored then).
  HFONT AddFont(int id, const wchar_t* face, int size, bool bold, bool underline, bool italic,
                bool shared = false);
  void SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline, bool italic,
                      bool shared = false);
  // A negative or unknown id gives the default font.
  HFONT GetFont(int id);
  // Null when no table holds a font of exactly that kind.
  HFONT GetFont(const wchar_t* face, int size, bool bold, bool underline, bool italic);
  TUIFontInfo* GetFontInfo(int id);
  // The default font's record when no table holds the handle.
  TUIFontInfo* GetFontInfo(HFONT font);
  TUIFontInfo* GetDefaultFontInfo();
  // Registers the font file's bytes (skin lookup, else a plain path) for this process.
  bool AddFontFile(const wchar_t* file_name);
  void RemoveAllFonts(bool shared = false);

  // ---- Images ----
  // type set: name is a decimal resource id of that type in instance. Null when it cannot be loaded.
  TUIImageInfo* AddImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                         bool use_hsl = false, bool gdiplus = false, bool shared = false,
                         HINSTANCE instance = nullptr);
  TUIImageInfo* GetImage(const wchar_t* name);
  TUIImageInfo* GetOrLoadImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                               bool use_hsl = false, bool gdiplus = false,
                               HINSTANCE instance = nullptr);
  void RemoveAllImages(bool shared = false);

  // ---- Parsed image descriptions (cached per window, keyed by image + modify text) ----
  // Null for an empty key.
  TImageDrawInfo* GetDrawInfo(const wchar_t* image, const wchar_t* modify = nullptr);
  void RemoveAllDrawInfos();

  // ---- Default attribute lists (the last definition wins) and styles (the first wins) ----
  void AddDefaultAttributeList(const wchar_t* class_name, const wchar_t* attributes,
                               bool shared = false);
  const wchar_t* GetDefaultAttributeList(const wchar_t* class_name) const;
  void RemoveAllDefaultAttributeList(bool shared = false);
  void AddStyle(const wchar_t* name, const wchar_t* attributes, bool shared = false);
  const wchar_t* GetStyle(const wchar_t* name) const;
  void RemoveAllStyle(bool shared = false);

  // ---- Option groups ----
  // False when the control is already in the group.
  bool AddOptionGroup(const wchar_t* group, CControlUI* control);
  CUIPtrArray* GetOptionGroup(const wchar_t* group);
  void RemoveOptionGroup(const wchar_t* group, CControlUI* control);
  void RemoveAllOptionGroups();

  // While on, every table write goes to the shared tables.
  void SetForceSharedResources(bool force) { force_shared_ = force; }
  bool IsForceSharedResources() const { return force_shared_; }

  // ---- Window attributes (stored unscaled; the getters below scale where noted) ----
  void SetInitSize(int cx, int cy);
  SIZE GetInitSize() const { return init_size_; }
  void SetSizeBox(const RECT& size_box) { size_box_ = size_box; }
  RECT GetSizeBox();  // scaled
  void SetCaptionRect(const RECT& caption) { caption_ = caption; }
  RECT GetCaptionRect();  // scaled
  void SetRoundCorner(int cx, int cy) { round_corner_ = {cx, cy}; }
  SIZE GetRoundCorner();  // scaled
  void SetMinInfo(int cx, int cy) { min_info_ = {cx, cy}; }
  SIZE GetMinInfo();  // scaled
  void SetMaxInfo(int cx, int cy) { max_info_ = {cx, cy}; }
  SIZE GetMaxInfo();  // scaled
  void SetNoActivate(bool no_activate) { no_activate_ = no_activate; }
  bool IsNoActivate() const { return no_activate_; }
  void SetHoverTime(int milliseconds) { hover_time_ = milliseconds; }
  int GetHoverTime() const { return hover_time_; }
  void SetUseGdiplusText(bool use) { use_gdiplus_text_ = use; }
  bool IsUseGdiplusText() const { return use_gdiplus_text_; }
  void SetTextRenderingHint(int hint) { text_rendering_hint_ = hint; }
  int GetTextRenderingHint() const { return text_rendering_hint_; }

  HWND GetPaintWindow() const { return window_; }
  // The memory DCs the window's paint passes reuse (see CPaintPassUI).
  CPaintDCPoolUI* GetPaintDCPool() const { return dc_pool_.get(); }
  HDC GetPaintDC() const { return paint_dc_; }
  CControlUI* GetRoot() const { return root_; }
  CShadowUI* GetShadow();

  // ---- Messages to events ----
  // Offered every message the window leaves unhandled; true when handled (result then set).
  bool MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The current MK_ state of the buttons, Shift, Ctrl and Alt (MK_ALT 0x20).
  static WORD MapKeyState();
  POINT GetMousePos() const { return last_mouse_pos_; }

  // ---- Notifications ----
  void SendNotify(TUINotification& msg, bool async = false);
  void SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0,
                  bool async = false);
  // Posts the deferred-work message unless it is already waiting.
  void PostAsyncNotify();
  void SetUseVirtualWnd(bool use) { use_virtual_wnd_ = use; }
  bool IsUseVirtualWnd() const { return use_virtual_wnd_; }

  // Add appends; remove takes out the first equal entry and reports whether there was one. An
  // entry that is a control is remembered as that control's, so that its death removes it.
  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);
  bool AddMessageFilter(IMessageFilterUI* filter);
  bool RemoveMessageFilter(IMessageFilterUI* filter);
  bool AddPreMessageFilter(IMessageFilterUI* filter);
  bool RemovePreMessageFilter(IMessageFilterUI* filter);
  bool AddTranslateAccelerator(ITranslateAccelerator* translator);
  bool RemoveTranslateAccelerator(ITranslateAccelerator* translator);
  bool AddPostPaint(CControlUI* control);
  bool RemovePostPaint(CControlUI* control);
  // Controls that also receive UIEVENT_MOUSELEAVE whenever the hover control changes.
  bool AddMouseLeaveNeeded(CControlUI* control);
  bool RemoveMouseLeaveNeeded(CControlUI* control);

  // ---- Focus, capture ----
  CControlUI* GetFocus() const { return focus_; }
  void SetFocus(CControlUI* control);
  void SetFocusNeeded(CControlUI* control);
  bool SetNextTabControl(bool forward = true);
  void SetCapture();
  void ReleaseCapture();
  bool IsCaptured() const { return mouse_capture_; }

  // ---- Timers (one per control and id) ----
  bool SetTimer(CControlUI* control, UINT id, UINT elapse);
  bool KillTimer(CControlUI* control, UINT id);
  void KillTimer(CControlUI* control);
  void RemoveAllTimers();
  // The timers of this window that run now (started and not stopped since).
  size_t GetTimerCount() const;

  // ---- The control tree ----
  // Takes ownership of root; an earlier root is deleted later through the deferred work.
  bool AttachRootControl(CControlUI* root);
  bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
  // Drops every reference the manager holds to a control that is going away.
  void ForgetControl(CControlUI* control);
  // Every living manager forgets the control: it may have registered with a manager it has since
  // been detached from (the skin builder detaches what it builds; a subtree it refuses dies so).
  static void ForgetDyingControl(CControlUI* control);
  // Takes the notifiers, filters and translators that are this control out of every manager, for
  // a control that gives up an embedded object before it dies (whose release may pump messages).
  static void RemoveInterfacesOf(CControlUI* owner);
  // Detaches the control now and deletes it with the next deferred work.
  void AddDelayedCleanup(CControlUI* control);

  CControlUI* FindControl(const wchar_t* name) const;
  CControlUI* FindControl(POINT point) const;
  // Every control below parent (or the root) whose GetClass equals class_name; "*" takes all.
  CUIPtrArray* FindControlsByClass(CControlUI* parent, const wchar_t* class_name);
  CUIPtrArray* GetFoundControls() { return &found_controls_; }

  // ---- Painting ----
  void Invalidate();
  void Invalidate(RECT rect);
  // A layout runs at the next paint.
  void NeedUpdate() { update_needed_ = true; }
  bool IsUpdateNeeded() const { return update_needed_; }
  bool IsPainting() const { return is_painting_; }

  void SetShowUpdateRect(bool show) { show_update_rect_ = show; }
  bool IsShowUpdateRect() const { return show_update_rect_; }
  void SetOffscreenPaint(bool on) { offscreen_paint_ = on; }
  bool IsOffscreenPaint() const { return offscreen_paint_; }

  void SetLayered(bool layered);
  bool IsLayered() const { return layered_; }
  void SetLayeredImage(const wchar_t* image);
  const wchar_t* GetLayeredImage() const;
  void SetLayeredOpacity(BYTE opacity);
  BYTE GetLayeredOpacity() const { return opacity_; }
  // Where the root is laid out in a layered window: the client rectangle less this inset.
  void SetLayeredInset(const RECT& inset);
  RECT GetLayeredInset() const { return layered_inset_; }
  void SetOpacity(BYTE opacity);
  BYTE GetOpacity() const { return opacity_; }

  // Native child windows printed into a layered window, each with its hosting control.
  bool AddNativeWindow(CControlUI* control, HWND window);
  bool RemoveNativeWindow(HWND window);
  // The child's window rectangle in this window's client coordinates.
  RECT GetChildWindowRect(HWND child) const;

  // The off-screen bitmap of the last paint (null before the first paint and after a full layout)
  // and its top-down pixels.
  HBITMAP GetOffscreenBitmap() const { return offscreen_bitmap_; }
  const DWORD* GetOffscreenBits() const { return offscreen_bits_; }

  // ---- Drag and drop ----
  // Lets a drag start from controls whose IsDragEnabled holds.
  void SetDragDropEnabled(bool enabled) { drag_drop_enabled_ = enabled; }
  bool IsDragDropEnabled() const { return drag_drop_enabled_; }
  void SetDragPermission(IDragPermissionUI* permission) { drag_permission_ = permission; }
  bool IsDragPending() const { return drag_pending_; }
  // The picture of the control that is being dragged (taken at the button press).
  HBITMAP GetDragSnapshot() const { return drag_snapshot_; }
  // The drop-target side for a window that registers the manager's target: the button-up message
  // goes to the window, then the first image found in the data goes to it with STM_SETIMAGE.
  // Returns whether an image was handed over.
  bool OnDrop(IDataObject* data, POINT screen_point);

 private:
  struct TTimerInfo {
    CControlUI* control;
    UINT id;
    HWND window;
    UINT win32_id;
    bool killed;
  };
  struct TResourceSet;
  struct TLayeredState;
  // An entry of one of the interface lists (notifiers, filters, translators) that is a control.
  struct TOwnedEntry {
    CUIPtrArray* list;
    void* entry;
    CControlUI* owner;
  };

  static TResourceSet& Shared();

  // paint_manager_resources.cpp
  void CreateShadow();
  TUIFontInfo* MeasureFont(TUIFontInfo* info);
  CUIStringMap& FontTable(bool shared);
  void FreeDrawInfos();

  // paint_manager_messages.cpp
  void SendEvent(CControlUI* control, int type, WPARAM wParam, LPARAM lParam, WORD key_state,
                 CControlUI* sender = nullptr);
  bool HandleMouseMove(WPARAM wParam, LPARAM lParam);
  void HandleLButtonDown(WPARAM wParam, LPARAM lParam);
  void HandleClose();
  CControlUI* OwnControlAt(POINT point, bool* foreign) const;

  // paint_manager_hover.cpp
  bool HandleMouseHover(LPARAM lParam);
  void HandleMouseLeave();

  // paint_manager_timers.cpp
  void HandleTimer(WPARAM wParam, LPARAM lParam);
  bool IsTimerIdHeld(UINT win32_id) const;

  // paint_manager_notify.cpp
  void DoDeferredWork();
  void DeliverNotify(TUINotification& msg);
  // Appends to an interface list and remembers the control the entry is, if it is one.
  bool AddOwnedEntry(CUIPtrArray& list, void* entry, CControlUI* owner);
  void RemoveOwnedEntries(CControlUI* owner);

  // paint_manager_painting.cpp
  void HandlePaint();
  void HandlePrintClient(HDC dc, LPARAM lParam);
  void PaintLayeredNativeWindows(const RECT& paint);
  void ComposeLayeredImage(const RECT& paint);
  void ParseLayeredImage();
  void DeleteOffscreen();

  // paint_manager_drag_drop.cpp
  void TakeDragSnapshot(CControlUI* control);
  void StartDrag();

  HWND window_ = nullptr;
  HDC paint_dc_ = nullptr;
  CUIString name_;
  CDpiScaler* dpi_scaler_ = nullptr;
  CShadowUI* shadow_ = nullptr;  // owned
  CControlUI* root_ = nullptr;

  // The window's resource set; the shared one lives in Shared().
  std::unique_ptr<TResourceSet> resources_;
  std::unique_ptr<CPaintDCPoolUI> dc_pool_;
  CUIStringMap draw_infos_;     // image + modify text -> TImageDrawInfo*, owned
  CUIStringMap option_groups_;  // group -> CUIPtrArray*, owned
  CUIStringMap custom_attributes_;  // name -> CUIString*, owned
  CUIStringMap name_map_;           // control name -> control
  bool force_shared_ = false;

  // Window attributes.
  SIZE init_size_{};
  RECT size_box_{};
  RECT caption_{};
  SIZE round_corner_{};
  SIZE min_info_{};
  SIZE max_info_{};
  bool no_activate_ = false;
  int hover_time_ = 400;
  bool use_gdiplus_text_ = false;
  int text_rendering_hint_ = 0;

  // Events and notifications.
  CControlUI* focus_ = nullptr;
  CControlUI* event_hover_ = nullptr;
  CControlUI* event_click_ = nullptr;  // the pushed control (left or middle button)
  CControlUI* event_rclick_ = nullptr;
  CControlUI* event_key_ = nullptr;
  POINT last_mouse_pos_{-1, -1};
  bool mouse_tracking_ = false;
  bool mouse_capture_ = false;
  bool focus_needed_ = false;
  bool async_notify_posted_ = false;
  bool use_virtual_wnd_ = false;
  HWND tooltip_window_ = nullptr;
  TOOLINFOW tooltip_{};
  CUIString tooltip_text_;
  UINT timer_counter_ = 4096;
  std::vector<TTimerInfo> timers_;
  CUIPtrArray notifiers_;
  CUIPtrArray translate_accelerators_;
  CUIPtrArray pre_message_filters_;
  CUIPtrArray message_filters_;
  CUIPtrArray post_paint_controls_;
  CUIPtrArray native_windows_;
  CUIPtrArray native_window_controls_;
  CUIPtrArray delayed_cleanup_;
  CUIPtrArray async_notify_;  // TUINotification*, owned
  CUIPtrArray found_controls_;
  CUIPtrArray mouse_leave_needed_;
  std::vector<TOwnedEntry> owned_entries_;
  std::vector<HANDLE> font_resources_;  // AddFontMemResourceEx handles

  // Painting.
  HDC offscreen_dc_ = nullptr;
  HBITMAP offscreen_bitmap_ = nullptr;
  DWORD* offscreen_bits_ = nullptr;
  HDC background_dc_ = nullptr;
  HBITMAP background_bitmap_ = nullptr;
  DWORD* background_bits_ = nullptr;
  RECT pending_update_{};
  bool offscreen_paint_ = true;
  bool layered_ = false;
  bool layered_changed_ = false;
  bool update_needed_ = false;
  bool first_layout_ = true;
  bool show_update_rect_ = false;
  bool is_painting_ = false;
  BYTE opacity_ = 255;
  RECT layered_inset_{};
  std::unique_ptr<TLayeredState> layered_image_;

  // Drag and drop.
  bool drag_drop_enabled_ = false;
  bool drag_pending_ = false;
  HBITMAP drag_snapshot_ = nullptr;
  IDragPermissionUI* drag_permission_ = nullptr;
};

}  // namespace Vellum
