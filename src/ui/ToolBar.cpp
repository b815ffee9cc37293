#include "ui/ToolBar.h"

#include "base/Errors.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace lexmora {

void TImageList::Create(int width, int height) {
  ImageListHandle list(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 8, 8));
  if (!list)
    throw Exception("Cannot create image list");
  list_ = std::move(list);
}

void TImageList::AddStrip(HBITMAP bitmap, COLORREF mask) {
  if (bitmap == nullptr || ImageList_AddMasked(list_.Get(), bitmap, mask) < 0) {
    throw Exception("Cannot add images to image list");
  }
}

void TImageList::AddStripResource(int bitmapId, COLORREF mask) {
  const GdiObject bitmap(LoadImageW(Application().Instance(), MAKEINTRESOURCEW(bitmapId),
                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (bitmap)
    AddStrip(static_cast<HBITMAP>(bitmap.Get()), mask);
}

int TImageList::Count() const noexcept {
  return ImageList_GetImageCount(list_.Get());
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
  SetImages(images);
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

int TToolBar::ScaledWidth(int designed) const {
  const TForm* form = Form();
  return form ? form->Scale(designed) : designed;
}

void TToolBar::SetImages(TImageList* images) {
  if (images == nullptr)
    return;
  SendMessageW(Handle(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images->Handle()));
  int width = 0, height = 0;
  if (ImageList_GetIconSize(images->Handle(), &width, &height))
    SendMessageW(Handle(), TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
}

void TToolBar::AddSeparator(int width) {
  TBBUTTON b{};
  b.iBitmap = ScaledWidth(width);
  b.fsStyle = BTNS_SEP;
  b.iString = -1;
  SendMessageW(Handle(), TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
  gaps_.push_back(
      {static_cast<int>(SendMessageW(Handle(), TB_BUTTONCOUNT, 0, 0)) - 1, width, nullptr});
}

void TToolBar::AddControl(TControl& control, int width) {
  AddSeparator(width);
  gaps_.back().control = &control;
  SetParent(control.Handle(), Handle());
  PlaceControl(gaps_.back());
}

void TToolBar::PlaceControl(const Gap& gap) {
  RECT r{};
  SendMessageW(Handle(), TB_GETITEMRECT, static_cast<WPARAM>(gap.index),
               reinterpret_cast<LPARAM>(&r));
  RECT own = gap.control->BoundsRect();
  const int height = own.bottom - own.top;
  const int top = r.top + (r.bottom - r.top - height) / 2;
  gap.control->SetBounds(r.left, top > 0 ? top : 0, ScaledWidth(gap.designed), height);
}

void TToolBar::ApplyDpi(TImageList* images) {
  SetImages(images);
  for (const Gap& gap : gaps_) {
    // A separator's width is its image number.
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_IMAGE | TBIF_SIZE;
    info.iImage = ScaledWidth(gap.designed);
    info.cx = static_cast<WORD>(info.iImage);
    SendMessageW(Handle(), TB_SETBUTTONINFOW, static_cast<WPARAM>(gap.index),
                 reinterpret_cast<LPARAM>(&info));
  }
  SendMessageW(Handle(), TB_AUTOSIZE, 0, 0);
  for (const Gap& gap : gaps_) {
    if (gap.control != nullptr)
      PlaceControl(gap);
  }
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
