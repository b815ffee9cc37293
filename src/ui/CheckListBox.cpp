#include "ui/CheckListBox.h"

#include <algorithm>

namespace lexmora {

namespace {

// Item data of a ticked item; an unticked one holds 0.
constexpr LPARAM kTicked = 1;
// Room around the box inside its item, and between the box and the text, in pixels.
constexpr int kBoxMargin = 1;
constexpr int kTextGap = 3;

}  // namespace

RECT TCheckListBox::BoxOf(const RECT& item) noexcept {
  const int side = std::max<int>(0, item.bottom - item.top - 2 * kBoxMargin);
  return {item.left + kBoxMargin, item.top + kBoxMargin, item.left + kBoxMargin + side,
          item.top + kBoxMargin + side};
}

void TCheckListBox::Add(const std::wstring& item, bool ticked) {
  const LRESULT index =
      SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  if (index >= 0)
    SendMessageW(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), ticked ? kTicked : 0);
}

bool TCheckListBox::Ticked(int32_t index) const noexcept {
  if (index < 0 || index >= Count())
    return false;
  return SendMessageW(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0) == kTicked;
}

void TCheckListBox::SetTicked(int32_t index, bool ticked) {
  if (index < 0 || index >= Count())
    return;
  SendMessageW(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), ticked ? kTicked : 0);
  RECT rect{};
  if (SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&rect)) != LB_ERR) {
    InvalidateRect(Handle(), &rect, TRUE);
  }
}

void TCheckListBox::MoveItem(int32_t from, int32_t to) {
  const int32_t count = Count();
  if (from < 0 || from >= count || to < 0 || to >= count || from == to)
    return;
  const bool selected = ItemIndex() == from;
  const std::wstring text = Item(from);
  const bool ticked = Ticked(from);
  SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(from), 0);
  SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(to),
               reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(to), ticked ? kTicked : 0);
  if (selected)
    SetItemIndex(to);
}

bool TCheckListBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg != WM_LBUTTONDOWN)
    return TListBox::HandleMessage(msg, wParam, lParam, result);
  TListBox::HandleMessage(msg, wParam, lParam, result);
  // The list selects the item under the pointer first.
  result = DefSubclassProc(Handle(), msg, wParam, lParam);
  const LRESULT hit = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, lParam);
  if (HIWORD(hit) != 0)
    return true;  // below the last item
  const auto index = static_cast<int32_t>(LOWORD(hit));
  RECT rect{};
  if (SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&rect)) == LB_ERR) {
    return true;
  }
  const RECT box = BoxOf(rect);
  const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (at.x < box.right && OnTickClick)
    OnTickClick(index);
  return true;
}

bool TCheckListBox::HandleDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1))
    return true;  // an empty list with the focus: nothing to draw
  const auto index = static_cast<int32_t>(item.itemID);
  const HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  RECT box = BoxOf(item.rcItem);
  DrawFrameControl(dc, &box, DFC_BUTTON,
                   DFCS_BUTTONCHECK | DFCS_FLAT | (Ticked(index) ? DFCS_CHECKED : 0));
  RECT text = item.rcItem;
  text.left = box.right + kTextGap;
  const std::wstring label = Item(index);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if ((item.itemState & ODS_FOCUS) != 0)
    DrawFocusRect(dc, &item.rcItem);
  return true;
}

}  // namespace lexmora
