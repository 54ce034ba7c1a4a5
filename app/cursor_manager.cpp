#include "app/cursor_manager.h"

#include <chrono>
#include <utility>

#include "app/cursor_utils.h"
#include "common/logging.h"

CursorManager::CursorManager(Settings settings, EnlargedCallback on_enlarged, SystemCursors& system,
                             SteadyClock clock)
    : settings_(settings), on_enlarged_(std::move(on_enlarged)), system_(system), clock_(std::move(clock)) {
  entries_.reserve(kCursorCount);
  for (DWORD id : kCursorIds) entries_.push_back(CreateEntry(id));
}

CursorManager::~CursorManager() {
  for (auto& entry : entries_) {
    if (entry->normal != nullptr) system_.Destroy(entry->normal);
    if (entry->enlarged != nullptr) system_.Destroy(entry->enlarged);
  }
}

std::unique_ptr<CursorEntry> CursorManager::CreateEntry(DWORD id) {
  auto entry = std::make_unique<CursorEntry>();
  entry->id = id;
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  entry->normal = arrow != nullptr ? system_.Copy(arrow) : nullptr;
  if (entry->normal == nullptr) {
    LOG_ERROR << "Failed to load system cursor";
    return entry;
  }
  const int base_size = system_.ArrowSize();  // logs when the standard arrow cannot be read

  const int scale = settings_.scale_factor;
  HCURSOR taken = entry->enlarged;
  if (scale != entry->cached_scale) {
    entry->cached_scale = scale;
    taken = CursorUtils::ScaleCursor(entry->normal, scale, base_size);
  }
  entry->enlarged = taken != nullptr ? system_.Copy(taken) : nullptr;
  if (entry->enlarged == nullptr) LOG_ERROR << "Failed to CursorUtils::ScaleCursor";
  return entry;
}

int64_t CursorManager::Now() const {
  if (clock_) return clock_();
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void CursorManager::Enlarge() {
  if (!enlarged_) {
    LOG_INFO << "Enlarge";
    // Every entry is brought to the configured factor before the first replacement: from then on the
    // system arrow, whose size the cursor is built from, is the enlarged one.
    int base_size = 0;
    for (auto& entry : entries_) {
      const int scale = settings_.scale_factor;
      if (scale == entry->cached_scale) continue;
      if (base_size == 0) base_size = system_.ArrowSize();
      // A new factor: the entry's copy of the old cursor is replaced, not leaked.
      entry->cached_scale = scale;
      HCURSOR built = CursorUtils::ScaleCursor(entry->normal, scale, base_size);
      if (entry->enlarged != nullptr) system_.Destroy(entry->enlarged);
      entry->enlarged = built != nullptr ? system_.Copy(built) : nullptr;
    }
    for (auto& entry : entries_) {
      // The system takes the handle it is given, so it gets a copy of the entry's own.
      if (entry->enlarged != nullptr) {
        HCURSOR handed = system_.Copy(entry->enlarged);
        if (handed != nullptr) system_.Set(handed, entry->id);
      }
    }
    LOG_INFO << "Enlarge count";
    enlarged_ = true;
    if (on_enlarged_) on_enlarged_();
  }
  last_enlarge_time_ = Now();
}

void CursorManager::RestoreIfIdle() {
  if (!enlarged_) return;
  const int64_t elapsed_ms = (Now() - last_enlarge_time_) / 1000000;
  if (elapsed_ms <= settings_.restore_delay_ms) return;
  PutNormalCursorsBack();
  // One reload gives every id its real shape back (the copies above are all the arrow).
  system_.ReloadScheme(false);
  enlarged_ = false;
}

bool CursorManager::RestoreSystemCursors() {
  if (system_.ReloadScheme(true)) {
    enlarged_ = false;
    return true;
  }
  if (enlarged_) {
    PutNormalCursorsBack();
    enlarged_ = false;
  }
  return false;
}

void CursorManager::PutNormalCursorsBack() {
  for (auto& entry : entries_) {
    if (entry->normal == nullptr) continue;
    HCURSOR handed = system_.Copy(entry->normal);
    if (handed != nullptr) system_.Set(handed, entry->id);
  }
}
