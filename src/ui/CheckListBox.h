#pragma once
// A list box whose items each carry a tick, drawn as a check box before the item's text. The
// list must be owner-drawn with fixed heights and keep its strings (LBS_OWNERDRAWFIXED |
// LBS_HASSTRINGS), so that its items read as in any list box.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "ui/Controls.h"

namespace lexmora {

class TCheckListBox : public TListBox {
 public:
  // Appends an item with its tick.
  void Add(const std::wstring& item, bool ticked);
  // False outside the list.
  bool Ticked(int32_t index) const noexcept;
  // Ticks or unticks an item and draws it again; does not run OnTickClick.
  void SetTicked(int32_t index, bool ticked);
  // Moves the item at `from` to the place `to`, with its text and tick; the selection moves with
  // it. Nothing happens when either is outside the list.
  void MoveItem(int32_t from, int32_t to);

  // The left button was pressed on an item's box (after the list selected the item).
  std::function<void(int32_t index)> OnTickClick;

  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool HandleDrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  // The box of an item whose place in the list is `item`.
  static RECT BoxOf(const RECT& item) noexcept;
};

}  // namespace lexmora
