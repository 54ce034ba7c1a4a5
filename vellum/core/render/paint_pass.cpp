#include "vellum/core/render/paint_pass.h"

namespace Vellum {

namespace {

// A tree of a few skins' images keeps them all; beyond that the oldest DC takes the next bitmap.
constexpr int kMaxSources = 16;
// As many as a pass with many images used, so that a window's passes stop making DCs.
constexpr size_t kMaxPooled = kMaxSources;

struct KeptSource {
  HDC dc;
  HGDIOBJ old;
  HBITMAP bitmap;
};

// Plain data, so that the thread-local state needs no construction or destruction.
struct PassState {
  int depth;
  HDC target;            // the DC the outermost pass paints into
  CPaintDCPoolUI* pool;  // where its memory DCs come from and go back to; may be null
  HGDIOBJ target_font;   // its font before the pass changed it; null while unchanged
  KeptSource sources[kMaxSources];
  int source_count;
  int next_reused;
};

thread_local PassState state;

void Close() {
  if (state.target_font != nullptr) SelectObject(state.target, state.target_font);
  for (int i = 0; i < state.source_count; ++i) {
    KeptSource& source = state.sources[i];
    if (source.old != nullptr) SelectObject(source.dc, source.old);
    if (state.pool != nullptr) {
      state.pool->Give(source.dc);
    } else {
      DeleteDC(source.dc);
    }
  }
  state = PassState{};
}

}  // namespace

CPaintDCPoolUI::~CPaintDCPoolUI() {
  for (HDC dc : dcs_) DeleteDC(dc);
}

HDC CPaintDCPoolUI::Take() {
  if (dcs_.empty()) return nullptr;
  HDC dc = dcs_.back();
  dcs_.pop_back();
  return dc;
}

void CPaintDCPoolUI::Give(HDC dc) {
  if (dcs_.size() < kMaxPooled) {
    dcs_.push_back(dc);
  } else {
    DeleteDC(dc);
  }
}

CPaintPassUI::CPaintPassUI(HDC dc, CPaintDCPoolUI* pool) {
  if (state.depth++ == 0) {
    state.target = dc;
    state.pool = pool;
  }
}

CPaintPassUI::~CPaintPassUI() {
  if (--state.depth == 0) Close();
}

HDC CPaintPassUI::KeptSourceDC(HDC compatible_with, HBITMAP bitmap) {
  if (state.depth == 0 || bitmap == nullptr) return nullptr;
  for (int i = 0; i < state.source_count; ++i) {
    if (state.sources[i].bitmap == bitmap) return state.sources[i].dc;
  }
  KeptSource* source = nullptr;
  if (state.source_count < kMaxSources) {
    HDC dc = state.pool != nullptr ? state.pool->Take() : nullptr;
    if (dc == nullptr) dc = CreateCompatibleDC(compatible_with);
    if (dc == nullptr) return nullptr;
    source = &state.sources[state.source_count++];
    *source = KeptSource{dc, nullptr, nullptr};
  } else {
    source = &state.sources[state.next_reused];
    state.next_reused = (state.next_reused + 1) % kMaxSources;
    if (source->old != nullptr) SelectObject(source->dc, source->old);
    source->old = nullptr;
    source->bitmap = nullptr;
  }
  HGDIOBJ old = SelectObject(source->dc, bitmap);
  if (old == nullptr) return nullptr;  // held by another DC: the caller's own DC will fail alike
  source->old = old;
  source->bitmap = bitmap;
  return source->dc;
}

bool CPaintPassUI::KeepFont(HDC dc, HFONT font) {
  if (state.depth == 0 || dc == nullptr || dc != state.target || font == nullptr) return false;
  HGDIOBJ current = GetCurrentObject(dc, OBJ_FONT);
  if (current == font) return true;
  HGDIOBJ old = SelectObject(dc, font);
  if (old == nullptr) return false;
  if (state.target_font == nullptr) state.target_font = old;
  return true;
}

void CPaintPassUI::ReleaseBitmap(HBITMAP bitmap) {
  if (bitmap == nullptr) return;
  for (int i = 0; i < state.source_count; ++i) {
    KeptSource& source = state.sources[i];
    if (source.bitmap != bitmap) continue;
    SelectObject(source.dc, source.old);
    source.old = nullptr;
    source.bitmap = nullptr;
  }
}

}  // namespace Vellum
