#include "shell/DockManU.h"

#include <cstdlib>

namespace lexmora {

namespace {
constexpr WPARAM kMoveByMenu = 0xF010;     // SC_MOVE
constexpr WPARAM kMoveByCaption = 0xF012;  // SC_MOVE | HTCAPTION
}  // namespace

TDockMan& DockMan() {
  static TDockMan instance;
  return instance;
}

void TDockMan::CheckMoveStart(WPARAM command) noexcept {
  if (command == kMoveByMenu || command == kMoveByCaption) {
    FCarryX = 0;
    FCarryY = 0;
  }
}

void TDockMan::SnapRect(int32_t threshold, RECT& rect) noexcept {
  RECT workArea{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0)) {
    // Without a work area there is nothing to snap to; the proposal stands.
    return;
  }
  SnapRectInArea(threshold, rect, workArea);
}

void TDockMan::SnapRectInArea(int32_t threshold, RECT& rect, const RECT& workArea) noexcept {
  // Arithmetic in 64 bits: coordinates, carries and thresholds are arbitrary 32-bit values.
  // Results are stored back with wrap-around, which is only reached by absurd inputs.
  const int64_t t = threshold;
  auto snapEdge = [t](int64_t target, LONG& position, int32_t& carry) {
    const int64_t pos = position;
    if (std::llabs(target - pos) >= t)
      return;
    if (std::llabs(static_cast<int64_t>(carry)) > t) {
      // Pulled beyond the threshold: release to where the pointer's motion leads.
      position = static_cast<LONG>(pos + carry);
      carry = 0;
    } else if (pos != target) {
      carry = static_cast<int32_t>(carry + (pos - target));
      position = static_cast<LONG>(target);
    }
  };

  const int64_t width = static_cast<int64_t>(rect.right) - rect.left;
  const int64_t height = static_cast<int64_t>(rect.bottom) - rect.top;
  snapEdge(workArea.left, rect.left, FCarryX);
  snapEdge(workArea.top, rect.top, FCarryY);
  // The right and bottom edges snap as the left or top position that puts them on the edge.
  snapEdge(workArea.right - width, rect.left, FCarryX);
  snapEdge(workArea.bottom - height, rect.top, FCarryY);
  rect.right = static_cast<LONG>(rect.left + width);
  rect.bottom = static_cast<LONG>(rect.top + height);
}

}  // namespace lexmora
