#include "ui/Controls.h"

#include <cwchar>

#include "base/Errors.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "ui/Application.h"
#include "ui/Cursors.h"
#include "ui/Dpi.h"
#include "ui/Form.h"

namespace lexmora {

namespace {

const wchar_t kControlProp[] = L"Lexmora.Control";
constexpr UINT_PTR kSubclassId = 0x4C58;  // any constant, unique to this procedure

std::wstring WindowText(HWND hwnd) {
  if (hwnd == nullptr)
    return {};
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A panel's children are notified through it; it passes everything on to its parent and paints
// its own colour behind its labels.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* panel = dynamic_cast<TPanel*>(TControl::FromHandle(hwnd));
  int color = panel != nullptr ? panel->Color() : COLOR_BTNFACE;
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_VSCROLL:
    case WM_HSCROLL:
      return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (color != COLOR_BTNFACE) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, GetSysColor(color));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(color));
      }
      return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(color));
      return 1;
    }
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

LRESULT CALLBACK BevelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    DWORD shape = GetWindowLongW(hwnd, GWL_STYLE) & 0xFFFF;
    UINT edges = shape == LEXMORA_BEVEL_TOPLINE      ? BF_TOP
                 : shape == LEXMORA_BEVEL_BOTTOMLINE ? BF_BOTTOM
                                                     : BF_RECT;
    DrawEdge(dc, &r, EDGE_ETCHED, edges);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterControlClasses(HINSTANCE instance) {
  struct Class {
    const wchar_t* name;
    WNDPROC proc;
    DWORD style;
  };
  for (const Class& c : {Class{L"LexmoraPanel", PanelProc, 0},
                         Class{L"LexmoraBevel", BevelProc, CS_HREDRAW | CS_VREDRAW}}) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = c.style;
    wc.lpfnWndProc = c.proc;
    wc.hInstance = instance;
    wc.hCursor = ArrowCursor();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = c.name;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      throw Exception("Cannot register window class: " + SysErrorMessage(GetLastError()));
    }
  }
}

LRESULT CALLBACK ControlSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR refData) {
  auto* control = reinterpret_cast<TControl*>(refData);
  try {
    LRESULT result = 0;
    if (control->HandleMessage(msg, wParam, lParam, result))
      return result;
  } catch (...) {
    Application().HandleCurrentException();
  }
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, ControlSubclassProc, kSubclassId);
    RemovePropW(hwnd, kControlProp);
    if (control->hwnd_ == hwnd)
      control->hwnd_ = nullptr;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

TControl::~TControl() {
  Detach();
}

void TControl::Attach(HWND hwnd) {
  if (hwnd == nullptr)
    throw Exception("Cannot attach a control to no window");
  Detach();
  hwnd_ = hwnd;
  SetPropW(hwnd, kControlProp, this);
  SetWindowSubclass(hwnd, ControlSubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void TControl::Detach() noexcept {
  if (hwnd_ == nullptr)
    return;
  if (IsWindow(hwnd_)) {
    RemoveWindowSubclass(hwnd_, ControlSubclassProc, kSubclassId);
    RemovePropW(hwnd_, kControlProp);
  }
  hwnd_ = nullptr;
}

TControl* TControl::FromHandle(HWND hwnd) noexcept {
  return hwnd ? static_cast<TControl*>(GetPropW(hwnd, kControlProp)) : nullptr;
}

TForm* TControl::Form() const noexcept {
  return TForm::FromHandle(hwnd_);
}

void TControl::CreateChild(HWND parent, const wchar_t* className, const std::wstring& text,
                           DWORD style, DWORD exStyle, int left, int top, int width, int height,
                           int id) {
  HWND hwnd = CreateWindowExW(exStyle, className, text.c_str(), style | WS_CHILD, left, top, width,
                              height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              Application().Instance(), nullptr);
  if (hwnd == nullptr) {
    throw Exception("Cannot create control: " + SysErrorMessage(GetLastError()));
  }
  Attach(hwnd);
  if (TForm* form = Form())
    SetFont(form->Font());
}

bool TControl::Enabled() const noexcept {
  return hwnd_ && IsWindowEnabled(hwnd_);
}
void TControl::SetEnabled(bool enabled) {
  EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}
bool TControl::Visible() const noexcept {
  return hwnd_ && IsWindowVisible(hwnd_);
}
void TControl::SetFocus() {
  ::SetFocus(hwnd_);
}

bool TControl::Focused() const noexcept {
  HWND focus = GetFocus();
  return focus != nullptr && (focus == hwnd_ || IsChild(hwnd_, focus));
}

RECT TControl::BoundsRect() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TControl::Caption() const {
  return ToAnsi(Text());
}
void TControl::SetCaption(const std::string& caption) {
  SetText(ToWide(caption));
}
std::wstring TControl::Text() const {
  return WindowText(hwnd_);
}
void TControl::SetText(const std::wstring& text) {
  SetWindowTextW(hwnd_, text.c_str());
}

HFONT TControl::Font() const noexcept {
  return reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
}

int TControl::TextHeight() const {
  TEXTMETRICW metrics{};
  const WindowDC windowDc(hwnd_);
  HGDIOBJ old = SelectObject(windowDc.Get(), Font());
  GetTextMetricsW(windowDc.Get(), &metrics);
  SelectObject(windowDc.Get(), old);
  return static_cast<int>(metrics.tmHeight);
}

void TControl::SetFont(HFONT font) {
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void TControl::SetOwnedFont(GdiObject font) {
  SetFont(static_cast<HFONT>(font.Get()));
  ownedFont_ = std::move(font);
}

void TControl::RescaleOwnedFont(int fromDpi, int toDpi) {
  if (!ownedFont_.Valid())
    return;
  const bool inUse = Font() == static_cast<HFONT>(ownedFont_.Get());
  GdiObject font(CopyFontForDpi(static_cast<HFONT>(ownedFont_.Get()), fromDpi, toDpi));
  if (!font)
    return;
  if (inUse)
    SetFont(static_cast<HFONT>(font.Get()));
  ownedFont_ = std::move(font);
}

void TControl::HandleCommand(WORD, WORD) {}

bool TControl::HandleDrawItem(const DRAWITEMSTRUCT&) {
  return false;
}

bool TControl::HandleNotify(NMHDR&, LRESULT&) {
  return false;
}

int PressedButton(UINT msg) noexcept {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return MK_LBUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return MK_RBUTTON;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      return MK_MBUTTON;
    default:
      return 0;
  }
}

LRESULT TControl::DialogCode(MSG& msg) {
  return SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
}

bool TControl::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&) {
  const int button = PressedButton(msg);
  if (button != 0 && OnMouseDown) {
    OnMouseDown(*this, button, static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),
                static_cast<short>(HIWORD(lParam)));
  }
  return false;
}

void TButton::Create(HWND parent, const std::string& caption, int left, int top, int width,
                     int height, int id) {
  CreateChild(parent, L"Button", ToWide(caption), WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, left,
              top, width, height, id);
}

void TButton::Click() {
  if (ModalResult != 0) {
    if (TForm* form = Form())
      form->SetModalResult(ModalResult);
  }
  if (OnClick)
    OnClick();
}

void TButton::HandleCommand(WORD code, WORD) {
  if (code == BN_CLICKED)
    Click();
}

bool TCheckBox::Checked() const noexcept {
  return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked) {
  SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::HandleCommand(WORD code, WORD) {
  if (code == BN_CLICKED && OnClick)
    OnClick();
}

void TLabel::Create(HWND parent, int left, int top, int width, int height) {
  CreateChild(parent, L"Static", L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, left, top, width,
              height);
}

void TSysLink::Create(HWND parent, int id) {
  CreateChild(parent, WC_LINK, L"", WS_TABSTOP, 0, 0, 0, 0, 0, id);
}

void TSysLink::SetMarkup(const std::wstring& markup) {
  if (markup == markup_)
    return;
  markup_ = markup;
  // Each link carries its number as its id: the number the control itself gives a link in its
  // notifications counts the plain runs of text too on some systems.
  std::wstring numbered;
  int link = 0;
  size_t from = 0;
  for (size_t at = markup.find(L"<a>"); at != std::wstring::npos;
       from = at + 3, at = markup.find(L"<a>", from)) {
    numbered.append(markup, from, at - from).append(L"<a id=\"" + std::to_wstring(link++) + L"\">");
  }
  numbered.append(markup, from, std::wstring::npos);
  SetText(numbered);
}

bool TSysLink::HandleNotify(NMHDR& header, LRESULT& result) {
  if (header.code != NM_CLICK && header.code != NM_RETURN)
    return false;
  const auto& link = reinterpret_cast<const NMLINK&>(header);
  wchar_t* end = nullptr;
  const long number = wcstol(link.item.szID, &end, 10);
  if (OnLinkClick && end != link.item.szID && *end == L'\0')
    OnLinkClick(static_cast<int>(number));
  result = 0;
  return true;
}

void TLabel::SetCaption(const std::string& caption) {
  SetText(ToWide(caption));
}

void TLabel::SetText(const std::wstring& text) {
  TControl::SetText(text);
  if (AutoSize)
    AdjustSize();
}

void TLabel::AdjustSize() {
  std::wstring text = Text();
  const WindowDC windowDc(Handle());
  const HDC dc = windowDc.Get();
  HGDIOBJ old = SelectObject(dc, Font() ? Font() : GetStockObject(DEFAULT_GUI_FONT));
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &r,
            DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  int width = text.empty() ? 0 : r.right - r.left;
  SetWindowPos(Handle(), nullptr, 0, 0, width, tm.tmHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TEdit::HandleCommand(WORD code, WORD) {
  if (code == EN_CHANGE && OnChange)
    OnChange();
}

void TUpDown::Associate(TEdit& buddy) {
  SendMessageW(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy.Handle()), 0);
}

void TUpDown::SetRange(int16_t minimum, int16_t maximum) {
  SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(minimum),
               static_cast<LPARAM>(maximum));
}

int16_t TUpDown::Min() const noexcept {
  int lo = 0, hi = 0;
  SendMessageW(Handle(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo),
               reinterpret_cast<LPARAM>(&hi));
  return static_cast<int16_t>(lo);
}

int16_t TUpDown::Max() const noexcept {
  int lo = 0, hi = 0;
  SendMessageW(Handle(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo),
               reinterpret_cast<LPARAM>(&hi));
  return static_cast<int16_t>(hi);
}

int16_t TUpDown::Position() const noexcept {
  BOOL failed = FALSE;
  return static_cast<int16_t>(
      SendMessageW(Handle(), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
}

void TUpDown::SetPosition(int16_t position) {
  SendMessageW(Handle(), UDM_SETPOS32, 0, static_cast<LPARAM>(position));
}

bool TUpDown::HandleNotify(NMHDR& header, LRESULT& result) {
  if (header.code != UDN_DELTAPOS || !OnArrow)
    return false;
  OnArrow(reinterpret_cast<NMUPDOWN&>(header).iDelta);
  result = 1;  // the position stays
  return true;
}

void TListBox::Clear() {
  SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
}

void TListBox::Add(const std::wstring& item) {
  SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int32_t TListBox::Count() const noexcept {
  return static_cast<int32_t>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0));
}

std::wstring TListBox::Item(int32_t index) const {
  if (index < 0 || index >= Count())
    throw EListError(index);
  LRESULT len = SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  len = SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(len < 0 ? 0 : len));
  return text;
}

int32_t TListBox::ItemIndex() const noexcept {
  return static_cast<int32_t>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int32_t index) {
  SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TListBox::SetItemHeight(int height) {
  SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
}

void TListBox::HandleCommand(WORD code, WORD) {
  if (code == LBN_SELCHANGE && OnClick)
    OnClick();
}

bool TListBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_LBUTTONDBLCLK) {
    // Let the list select the item under the pointer first.
    result = DefSubclassProc(Handle(), msg, wParam, lParam);
    if (OnDblClick)
      OnDblClick();
    return true;
  }
  return TControl::HandleMessage(msg, wParam, lParam, result);
}

void TComboBox::Create(HWND parent, DWORD extraStyle, int left, int top, int width, int height,
                       int id) {
  CreateChild(parent, L"ComboBox", L"",
              WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL | extraStyle, 0,
              left, top, width, height, id);
  AttachEdit();
}

void TComboBox::AttachEdit() {
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (GetComboBoxInfo(Handle(), &info) && info.hwndItem != nullptr && info.hwndItem != Handle()) {
    edit_ = info.hwndItem;
    SetPropW(edit_, kControlProp, this);
  }
}

void TComboBox::SetMaxLength(int length) {
  SendMessageW(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(length), 0);
}

void TComboBox::AddItem(const std::wstring& item) {
  SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void TComboBox::DeleteItem(int32_t index) {
  if (index < 0 || index >= Count())
    throw EListError(index);
  SendMessageW(Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int32_t TComboBox::Count() const noexcept {
  return static_cast<int32_t>(SendMessageW(Handle(), CB_GETCOUNT, 0, 0));
}

std::wstring TComboBox::Item(int32_t index) const {
  if (index < 0 || index >= Count())
    throw EListError(index);
  LRESULT len = SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  len = SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(len < 0 ? 0 : len));
  return text;
}

int32_t TComboBox::ItemIndex() const noexcept {
  return static_cast<int32_t>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SelectAll() {
  SendMessageW(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void TComboBox::HandleCommand(WORD code, WORD) {
  if (code == CBN_SELCHANGE) {
    // The edit still shows the old text while this notification runs.
    int32_t index = ItemIndex();
    if (index >= 0)
      SetText(Item(index));
  }
  if ((code == CBN_EDITCHANGE || code == CBN_SELCHANGE) && OnChange)
    OnChange();
}

void TPanel::Create(HWND parent, int left, int top, int width, int height, int id) {
  CreateChild(parent, L"LexmoraPanel", L"", WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, left,
              top, width, height, id);
}

void TPanel::SetColor(int systemColor) {
  color_ = systemColor;
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TBevel::Create(HWND parent, DWORD shape, int left, int top, int width, int height) {
  CreateChild(parent, L"LexmoraBevel", L"", WS_VISIBLE | shape, 0, left, top, width, height);
}

void TProgressBar::Create(HWND parent, int left, int top, int width, int height) {
  CreateChild(parent, PROGRESS_CLASSW, L"", WS_VISIBLE, 0, left, top, width, height);
}

void TProgressBar::SetStep(int step) {
  SendMessageW(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

void TProgressBar::StepIt() {
  SendMessageW(Handle(), PBM_STEPIT, 0, 0);
}

int TProgressBar::Position() const noexcept {
  return static_cast<int>(SendMessageW(Handle(), PBM_GETPOS, 0, 0));
}

int TProgressBar::Min() const noexcept {
  return static_cast<int>(SendMessageW(Handle(), PBM_GETRANGE, TRUE, 0));
}

int TProgressBar::Max() const noexcept {
  return static_cast<int>(SendMessageW(Handle(), PBM_GETRANGE, FALSE, 0));
}

void TImage::SetIcon(HICON icon) {
  SendMessageW(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

}  // namespace lexmora
