#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/system_cursors.h"

// One system cursor id and the manager's own copies for it.
struct CursorEntry {
  int32_t cached_scale = 1;  // factor the enlarged copy was built for; 1: none built yet
  DWORD id = 0;              // OCR_... id passed to SetSystemCursor
  HCURSOR normal = nullptr;  // copy of the standard arrow, the same image for every id
  HCURSOR enlarged = nullptr;
};

// Replaces every standard system cursor by one large arrow while the user shakes the mouse and puts
// the user's cursors back once the shaking stops. Owned by the main window, which calls Enlarge at each
// shake decision and RestoreIfIdle from its 100 ms timer, and hands it the settings it works with.
// UI thread only.
class CursorManager {
 public:
  using SteadyClock = std::function<int64_t()>;  // monotonic nanoseconds
  // Called once per change from normal to enlarged cursors (the owner reports "mouse_shaked").
  using EnlargedCallback = std::function<void()>;

  struct Settings {
    int32_t scale_factor = 3;
    // Milliseconds without a shake decision before the cursors come back.
    int32_t restore_delay_ms = 200;
  };

  // The 13 standard cursors, in the order they are replaced.
  static constexpr DWORD kCursorIds[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                         32644, 32645, 32646, 32648, 32649, 32650};
  static constexpr size_t kCursorCount = sizeof(kCursorIds) / sizeof(kCursorIds[0]);

  // Builds the 13 entries and, for the settings' factor, the enlarged cursor (once per process).
  // `on_enlarged` may be empty; `clock` defaults to the steady clock.
  CursorManager(Settings settings, EnlargedCallback on_enlarged, SystemCursors& system = RealSystemCursors(),
                SteadyClock clock = nullptr);
  // Destroys the entries' own cursors; the system cursors are left as they are (see
  // RestoreSystemCursors).
  ~CursorManager();
  CursorManager(const CursorManager&) = delete;
  CursorManager& operator=(const CursorManager&) = delete;

  // Called at every shake decision: enlarges all cursors when they are not yet enlarged, calling
  // on_enlarged once per transition, and in every case postpones the restore.
  void Enlarge();

  // Called every 100 ms: puts the user's cursors back once more than the restore delay has passed
  // since the last Enlarge.
  void RestoreIfIdle();

  // A factor chosen by the user; the cursors are rebuilt for it at the next enlargement.
  void set_scale_factor(int32_t factor) { settings_.scale_factor = factor; }

  // Puts the user's cursor scheme back now, broadcasting the change; for every way out of the program
  // and for start-up, so that cursors are never left enlarged (after a crash, too). When the reload
  // fails while enlarged, the standard arrow goes back on every id instead. Returns whether the scheme
  // was reloaded.
  bool RestoreSystemCursors();

  bool enlarged() const { return enlarged_; }
  void set_enlarged(bool enlarged) { enlarged_ = enlarged; }
  int64_t last_enlarge_time() const { return last_enlarge_time_; }
  const std::vector<std::unique_ptr<CursorEntry>>& entries() const { return entries_; }

 private:
  std::unique_ptr<CursorEntry> CreateEntry(DWORD id);
  void PutNormalCursorsBack();
  int64_t Now() const;

  Settings settings_;
  EnlargedCallback on_enlarged_;
  SystemCursors& system_;
  SteadyClock clock_;

  std::vector<std::unique_ptr<CursorEntry>> entries_;
  bool enlarged_ = false;
  int64_t last_enlarge_time_ = 0;
};
