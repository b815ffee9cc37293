#pragma once
// Measures converted between pixels per inch (DPI): plain arithmetic, for every layer.
//
// The layouts and the stored default window size are designed in pixels at 96 DPI (100 %); the
// window framework (ui/Dpi.h) finds the DPI of a window's display and scales to it.
#include <cstdint>
#include <limits>

namespace lexmora {

inline constexpr int kDesignDpi = 96;

// `value` at `fromDpi` converted to `toDpi`, rounded to the nearest pixel (halves away from
// zero) and held within the range of int. A `fromDpi` of 0 or less leaves the value as it is.
constexpr int ScaleDpi(int value, int fromDpi, int toDpi) noexcept {
  if (fromDpi <= 0)
    return value;
  const int64_t product = static_cast<int64_t>(value) * toDpi;
  const int64_t half = product >= 0 ? fromDpi / 2 : -(fromDpi / 2);
  const int64_t scaled = (product + half) / fromDpi;
  constexpr int64_t kLow = std::numeric_limits<int>::min(), kHigh = std::numeric_limits<int>::max();
  return static_cast<int>(scaled < kLow ? kLow : scaled > kHigh ? kHigh : scaled);
}
// A measure designed at 96 DPI, at `dpi`.
constexpr int ScaleToDpi(int designed, int dpi) noexcept {
  return ScaleDpi(designed, kDesignDpi, dpi);
}

}  // namespace lexmora
