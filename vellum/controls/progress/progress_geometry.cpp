#include "vellum/controls/progress/progress_geometry.h"

#include <climits>

namespace Vellum {
namespace {

// 64-bit throughout: a wide range times a pixel length overflows 32 bits.
long long Span(const TProgressRange& range) {
  return static_cast<long long>(range.maximum) - range.minimum;
}

long long Done(const TProgressRange& range) {
  return static_cast<long long>(range.value) - range.minimum;
}

long long Left(const TProgressRange& range) {
  return static_cast<long long>(range.maximum) - range.value;
}

}  // namespace

TProgressRange NormalizeProgressRange(int minimum, int maximum, int value) {
  TProgressRange range{minimum, maximum, value};
  if (range.maximum <= range.minimum) {
    if (range.minimum == INT_MAX) range.minimum = INT_MAX - 1;
    range.maximum = range.minimum + 1;
  }
  if (range.value < range.minimum) range.value = range.minimum;
  if (range.value > range.maximum) range.value = range.maximum;
  return range;
}

int ProgressFilledExtent(int length, const TProgressRange& range) {
  const TProgressRange r = NormalizeProgressRange(range.minimum, range.maximum, range.value);
  return static_cast<int>(length * Done(r) / Span(r));
}

int ProgressUnfilledExtent(int length, const TProgressRange& range) {
  const TProgressRange r = NormalizeProgressRange(range.minimum, range.maximum, range.value);
  return static_cast<int>(length * Left(r) / Span(r));
}

double ProgressPercent(const TProgressRange& range) {
  const TProgressRange r = NormalizeProgressRange(range.minimum, range.maximum, range.value);
  return static_cast<double>(Done(r)) * 100.0 / static_cast<double>(Span(r));
}

RECT SliderThumbRect(const RECT& item, SIZE thumb, bool horizontal, const TProgressRange& range) {
  RECT rect{};
  if (horizontal) {
    rect.left = item.left + ProgressFilledExtent(item.right - item.left - thumb.cx, range);
    rect.top = (item.top + item.bottom - thumb.cy) / 2;
    rect.right = rect.left + thumb.cx;
    rect.bottom = rect.top + thumb.cy;
  } else {
    rect.left = (item.left + item.right - thumb.cx) / 2;
    rect.bottom = item.bottom - ProgressFilledExtent(item.bottom - item.top - thumb.cy, range);
    rect.top = rect.bottom - thumb.cy;
    rect.right = rect.left + thumb.cx;
  }
  return rect;
}

int SliderValueFromPoint(const RECT& item, SIZE thumb, bool horizontal, const TProgressRange& range,
                         POINT point) {
  const TProgressRange r = NormalizeProgressRange(range.minimum, range.maximum, range.value);
  long long offset = 0;
  long long track = 0;
  if (horizontal) {
    const LONG half = thumb.cx / 2;
    if (point.x >= item.right - half) return r.maximum;
    if (point.x <= item.left + half) return r.minimum;
    offset = static_cast<long long>(point.x) - half - item.left;
    track = static_cast<long long>(item.right) - item.left - thumb.cx;
  } else {
    const LONG half = thumb.cy / 2;
    if (point.y >= item.bottom - half) return r.minimum;
    if (point.y <= item.top + half) return r.maximum;
    offset = static_cast<long long>(item.bottom) - half - point.y;
    track = static_cast<long long>(item.bottom) - item.top - thumb.cy;
  }
  // A track no longer than the thumb leaves no point between the two ends; this is only a guard.
  if (track <= 0) return r.minimum;
  // Truncated, as SliderThumbRect truncates, so the thumb of the value found never lies beyond
  // the point. Exact in 64 bits: offset < track < 2^31 and the span < 2^32.
  const long long value = r.minimum + offset * Span(r) / track;
  if (value < r.minimum) return r.minimum;
  if (value > r.maximum) return r.maximum;
  return static_cast<int>(value);
}

}  // namespace Vellum
