#pragma once

#include <windows.h>

#include <cstdint>
#include <set>
#include <vector>

#include "app/system_cursors.h"
#include "common/base/gdi_handles.h"

// Stands in for the system cursors: records every call (which id, which handle, when) and keeps the
// set of cursor handles that are alive, so leaks show. Copies are real CopyIcon handles; a handle
// given to Set is destroyed, as the system would own and free it. Like the system, it reports the
// arrow's size as that of the cursor last set for OCR_NORMAL, until the scheme is reloaded.
class RecordingCursors final : public SystemCursors {
 public:
  struct SetCall {
    DWORD id;
    int width;  // of the cursor handed over
    int64_t when;
  };

  explicit RecordingCursors(const int64_t* clock = nullptr) : clock_(clock) {}

  HCURSOR Copy(HCURSOR cursor) override {
    if (fail_copies) return nullptr;
    HCURSOR copy = CopyIcon(cursor);
    if (copy != nullptr) live.insert(copy);
    return copy;
  }
  void Destroy(HCURSOR cursor) override {
    if (live.erase(cursor) == 0) ++foreign_destroys;
    DestroyCursor(cursor);
  }
  bool Set(HCURSOR cursor, DWORD id) override {
    sets.push_back({id, measure ? Width(cursor) : 0, clock_ != nullptr ? *clock_ : 0});
    if (id == kArrowId && measure) arrow_size = sets.back().width;
    if (live.erase(cursor) == 0) ++foreign_sets;
    DestroyCursor(cursor);
    return true;
  }
  bool ReloadScheme(bool send_change) override {
    reloads.push_back(send_change);
    if (reload_result) arrow_size = user_arrow_size;
    return reload_result;
  }
  int ArrowSize() override { return arrow_size; }

  static int Width(HCURSOR cursor) {
    ScopedIconInfo icon_info;
    if (!icon_info.Read(cursor)) return 0;
    const ICONINFO& info = icon_info.get();
    BITMAP bm = {};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
    return bm.bmWidth;
  }

  std::vector<SetCall> sets;
  std::vector<bool> reloads;
  std::set<HCURSOR> live;
  int foreign_destroys = 0;  // handles destroyed that did not come from Copy
  int foreign_sets = 0;      // handles handed to the system that did not come from Copy
  bool reload_result = false;  // what Wine answers
  bool measure = true;         // read the size of every cursor handed over (slow under Wine)
  bool fail_copies = false;    // CopyIcon fails, as when the system is out of handles
  int user_arrow_size = 32;    // the pointer size of the user's scheme
  int arrow_size = 32;         // the system arrow's size now

  static constexpr DWORD kArrowId = 32512;

 private:
  const int64_t* clock_;
};
