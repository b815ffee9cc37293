#pragma once
// Screen-edge snapping of the main window while it is dragged.
#include <windows.h>

#include <cstdint>

namespace lexmora {

// Pulls the edges of a dragged window onto the edges of the work area and holds them there
// until the pointer has been dragged on by more than the threshold. The carries record, per
// axis, how far the pointer has pulled the held window from where it would otherwise be.
class TDockMan {
 public:
  // Resets both carries when command is exactly SC_MOVE (0xF010) or SC_MOVE with the caption
  // hit-test code (0xF012), the commands that start a move. Any other value changes nothing.
  void CheckMoveStart(WPARAM command) noexcept;

  // Snaps the proposed window rectangle in place against the primary monitor's work area,
  // read afresh on each call. The rectangle's width and height are kept.
  void SnapRect(int32_t threshold, RECT& rect) noexcept;

  // SnapRect against a given work area.
  void SnapRectInArea(int32_t threshold, RECT& rect, const RECT& workArea) noexcept;

  int32_t CarryX() const noexcept { return FCarryX; }
  int32_t CarryY() const noexcept { return FCarryY; }

 private:
  int32_t FCarryX = 0;
  int32_t FCarryY = 0;
};

// The program's single snapper, created on first use.
TDockMan& DockMan();

}  // namespace lexmora
