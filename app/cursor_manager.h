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
// shake decision and RestoreIfIdle from its 100 ms timer. UI thread only.
class CursorManager {
 public:
  using SteadyClock = std::function<int64_t()>;  // monotonic nanoseconds

  // The 13 standard cursors, in the order they are replaced.
  static constexpr DWORD kCursorIds[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                         32644, 32645, 32646, 32648, 32649, 32650};
  static constexpr size_t kCursorCount = sizeof(kCursorIds) / sizeof(kCursorIds[0]);

  // Builds the 13 entries and, for the configured factor, the enlarged cursor (once per process).
  // The scale factor and the restore delay come from Config. `clock` defaults to the steady clock.
  explicit CursorManager(SystemCursors& system = RealSystemCursors(), SteadyClock clock = nullptr);
  // Destroys the entries' own cursors; the system cursors are left as they are (see
  // RestoreSystemCursors).
  ~CursorManager();
  CursorManager(const CursorManager&) = delete;
  CursorManager& operator=(const CursorManager&) = delete;

  // Called at every shake decision: enlarges all cursors when they are not yet enlarged, sending one
  // "mouse_shaked" event per transition, and in every case postpones the restore.
  void Enlarge();

  // Called every 100 ms: puts the user's cursors back once more than the restore delay (200 ms) has
  // passed since the last Enlarge.
  void RestoreIfIdle();

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

  SystemCursors& system_;
  SteadyClock clock_;

  std::vector<std::unique_ptr<CursorEntry>> entries_;
  bool enlarged_ = false;
  int64_t last_enlarge_time_ = 0;
};
