#include "ui/ToolBar.h"

#include "base/Errors.h"
#include "base/Text.h"
#include "ui/Form.h"

namespace lexmora {

TImageList::~TImageList() {
  if (list_ != nullptr)
    ImageList_Destroy(list_);
}

void TImageList::Create(int width, int height) {
  HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 8, 8);
  if (list == nullptr)
    throw Exception("Cannot create image list");
  if (list_ != nullptr)
    ImageList_Destroy(list_);
  list_ = list;
}

void TImageList::AddStrip(HBITMAP bitmap, COLORREF mask) {
  if (bitmap == nullptr || ImageList_AddMasked(list_, bitmap, mask) < 0) {
    throw Exception("Cannot add images to image list");
  }
}

int TImageList::Count() const noexcept {
  return ImageList_GetImageCount(list_);
}

bool TToolButton::Down() const noexcept {
  return SendMessageW(bar_.Handle(), TB_ISBUTTONCHECKED, static_cast<WPARAM>(id_), 0) != 0;
}

void TToolButton::SetDown(bool down) {
  SendMessageW(bar_.Handle(), TB_CHECKBUTTON, static_cast<WPARAM>(id_), MAKELPARAM(down, 0));
}

bool TToolButton::Enabled() const noexcept {
  return SendMessageW(bar_.Handle(), TB_ISBUTTONENABLED, static_cast<WPARAM>(id_), 0) != 0;
}

void TToolButton::SetEnabled(bool enabled) {
  SendMessageW(bar_.Handle(), TB_ENABLEBUTTON, static_cast<WPARAM>(id_), MAKELPARAM(enabled, 0));
}

void TToolBar::Create(HWND parent, TImageList* images) {
  CreateChild(parent, TOOLBARCLASSNAMEW, L"",
              WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                  CCS_NODIVIDER | CCS_TOP,
              WS_EX_CONTROLPARENT, 0, 0, 0, 0);
  SendMessageW(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  if (images != nullptr) {
    SendMessageW(Handle(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images->Handle()));
  }
  // The hints' notifications arrive from the tool tip window; route them here.
  if (HWND tips = reinterpret_cast<HWND>(SendMessageW(Handle(), TB_GETTOOLTIPS, 0, 0))) {
    SetPropW(tips, L"Lexmora.Control", static_cast<TControl*>(this));
  }
}

TToolButton& TToolBar::AddButton(int id, int image, const std::string& hint, bool checkStyle) {
  TBBUTTON b{};
  b.iBitmap = image;
  b.idCommand = id;
  b.fsState = TBSTATE_ENABLED;
  b.fsStyle = static_cast<BYTE>(checkStyle ? BTNS_CHECK : BTNS_BUTTON);
  b.iString = -1;
  if (!SendMessageW(Handle(), TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b))) {
    throw Exception("Cannot add a tool button");
  }
  buttons_.push_back(std::make_unique<TToolButton>(*this, id, hint));
  buttons_.back()->hintText_ = ToWide(hint);
  return *buttons_.back();
}

void TToolBar::AddSeparator(int width) {
  TBBUTTON b{};
  b.iBitmap = width;
  b.fsStyle = BTNS_SEP;
  b.iString = -1;
  SendMessageW(Handle(), TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
}

void TToolBar::AddControl(TControl& control, int width) {
  AddSeparator(width);
  int index = static_cast<int>(SendMessageW(Handle(), TB_BUTTONCOUNT, 0, 0)) - 1;
  RECT r{};
  SendMessageW(Handle(), TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  SetParent(control.Handle(), Handle());
  RECT own = control.BoundsRect();
  int height = own.bottom - own.top;
  int top = r.top + (r.bottom - r.top - height) / 2;
  control.SetBounds(r.left, top > 0 ? top : 0, width, height);
}

TToolButton* TToolBar::Button(int id) noexcept {
  for (auto& b : buttons_) {
    if (b->Id() == id)
      return b.get();
  }
  return nullptr;
}

void TToolBar::AutoSize() {
  SendMessageW(Handle(), TB_AUTOSIZE, 0, 0);
}

int TToolBar::Height() const {
  RECT r = BoundsRect();
  return r.bottom - r.top;
}

void TToolBar::HandleCommand(WORD, WORD id) {
  if (TToolButton* b = Button(id); b != nullptr && b->OnClick)
    b->OnClick();
}

bool TToolBar::HandleNotify(NMHDR& header, LRESULT&) {
  if (header.code != TTN_GETDISPINFOW)
    return false;
  auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
  TToolButton* b = Button(static_cast<int>(header.idFrom));
  info.lpszText = b ? const_cast<wchar_t*>(b->hintText_.c_str()) : const_cast<wchar_t*>(L"");
  return true;
}

bool TToolBar::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // Controls placed on the bar notify it; their wrappers live in the form.
  if (msg == WM_COMMAND && lParam != 0) {
    if (TControl* child = TControl::FromHandle(reinterpret_cast<HWND>(lParam))) {
      child->HandleCommand(HIWORD(wParam), LOWORD(wParam));
      result = 0;
      return true;
    }
  }
  return TControl::HandleMessage(msg, wParam, lParam, result);
}

}  // namespace lexmora
