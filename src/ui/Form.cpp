#include "ui/Form.h"

#include <algorithm>
#include <set>

#include "base/Errors.h"
#include "base/Text.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Cursors.h"
#include "ui/LayoutTemplate.h"

namespace lexmora {

namespace {

const wchar_t kFormProp[] = L"Lexmora.Form";

HWND FindDescendant(HWND parent, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (GetDlgCtrlID(hwnd) != s->id)
          return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Every window inside `parent`, at any depth.
std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

RECT WorkArea() {
  RECT work{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return work;
}

}  // namespace

LRESULT CALLBACK FormWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TForm* form = nullptr;
  if (msg == WM_NCCREATE) {
    form = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    SetPropW(hwnd, kFormProp, form);
  } else {
    form = reinterpret_cast<TForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (form == nullptr)
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  LRESULT result = msg == WM_CREATE ? -1 : 0;
  try {
    result = form->WndProc(msg, wParam, lParam);
  } catch (...) {
    Application().HandleCurrentException();
  }
  if (msg == WM_NCDESTROY) {
    RemovePropW(hwnd, kFormProp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    form->hwnd_ = nullptr;
  }
  return result;
}

void RegisterFormClass(const std::wstring& className) {
  static std::set<std::wstring> registered;
  if (registered.count(className))
    return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = FormWindowProc;
  wc.hInstance = Application().Instance();
  wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
  wc.hCursor = ArrowCursor();
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className.c_str();
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw Exception("Cannot register window class: " + SysErrorMessage(GetLastError()));
  }
  registered.insert(className);
}

TForm::TForm() {
  Application().Initialize();
}

TForm::~TForm() {
  if (hwnd_ != nullptr) {
    // The derived form is gone already: no event may reach it.
    OnCreate = OnShow = OnActivate = OnDestroy = OnResize = nullptr;
    OnKeyPress = nullptr;
    DestroyHandle();
  }
  if (Application().MainForm() == this)
    Application().SetMainForm(nullptr);
}

void TForm::DestroyHandle() noexcept {
  if (hwnd_ != nullptr)
    DestroyWindow(hwnd_);
  Application().NoteGone(this);
}

TForm* TForm::FromHandle(HWND hwnd) noexcept {
  if (hwnd == nullptr)
    return nullptr;
  HWND root = GetAncestor(hwnd, GA_ROOT);
  return root ? static_cast<TForm*>(GetPropW(root, kFormProp)) : nullptr;
}

void TForm::CreateParams(TFormParams& params) {
  params.style = WS_CLIPCHILDREN;
  params.exStyle = 0;
  switch (borderStyle_) {
    case TBorderStyle::Sizeable:
      params.style |= WS_OVERLAPPEDWINDOW;
      break;
    case TBorderStyle::Dialog:
      params.style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
      params.exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case TBorderStyle::None:
      params.style |= WS_POPUP;
      break;
  }
  if (stayOnTop_)
    params.exStyle |= WS_EX_TOPMOST;
  params.owner = MainFormOwner(params.style);
}

HWND TForm::MainFormOwner(DWORD style) const noexcept {
  TForm* main = Application().MainForm();
  if (main == nullptr || main == this || (style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW)
    return nullptr;
  return main->Handle();
}

void TForm::CreateEmpty() {
  TFormParams params;
  CreateParams(params);
  CreateWindowFrom(params, 0, 0);
}

void TForm::CreateWindowFrom(const TFormParams& params, int clientWidth, int clientHeight) {
  if (hwnd_ != nullptr)
    throw Exception("Form window already created");
  RegisterFormClass(params.className);
  RECT r{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&r, params.style, FALSE, params.exStyle);
  HWND hwnd = CreateWindowExW(params.exStyle, params.className.c_str(), params.caption.c_str(),
                              params.style & ~WS_VISIBLE, 0, 0, r.right - r.left, r.bottom - r.top,
                              params.owner, nullptr, Application().Instance(), this);
  if (hwnd == nullptr) {
    throw Exception("Cannot create window: " + SysErrorMessage(GetLastError()));
  }
  // Which display, and so which DPI, the window is on is known once it exists.
  dpi_ = WindowDpi(hwnd);
  if (dpi_ != kDesignDpi) {
    r = {0, 0, Scale(clientWidth), Scale(clientHeight)};
    AdjustWindowRectForDpi(r, params.style, params.exStyle, dpi_);
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TForm::CreateFromLayout(int resourceId) {
  HINSTANCE inst = Application().Instance();
  HRSRC res = FindResourceW(inst, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(5));  // RT_DIALOG
  HGLOBAL loaded = res ? LoadResource(inst, res) : nullptr;
  const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  if (data == nullptr)
    throw Exception(Format("Form layout %d not found", resourceId));
  const TLayoutTemplate layout = ReadLayoutTemplate(data, SizeofResource(inst, res));

  TFormParams params;
  params.className = !windowClassName_.empty()  ? windowClassName_
                     : layout.className.empty() ? L"LexmoraForm"
                                                : layout.className;
  params.caption = layout.caption;
  params.style = (layout.style & 0xFFFF0000u & ~WS_VISIBLE) | WS_CLIPCHILDREN;
  if (!(params.style & WS_CHILD))
    params.style |= WS_POPUP;
  params.exStyle = layout.exStyle | (layout.style & DS_MODALFRAME ? WS_EX_DLGMODALFRAME : 0);
  if (stayOnTop_)
    params.exStyle |= WS_EX_TOPMOST;
  params.owner = MainFormOwner(params.style);
  if (layout.style & DS_CENTER)
    position_ = TPosition::MainFormCenter;
  CreateWindowFrom(params, layout.width, layout.height);
  if (layout.hasFont)
    SetLayoutFont(layout.font);
  for (const TLayoutItem& item : layout.items)
    CreateLayoutItem(item, resourceId);
}

void TForm::SetLayoutFont(const TLayoutFont& font) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(font.points, dpi_, 72);
  lf.lfWeight = font.weight;
  lf.lfItalic = font.italic;
  lf.lfCharSet = font.charSet;
  font.faceName.copy(lf.lfFaceName, LF_FACESIZE - 1);
  layoutFontPoints_ = font.points;
  font_.Reset(CreateFontIndirectW(&lf));
}

void TForm::CreateLayoutItem(const TLayoutItem& item, int resourceId) {
  // The help id names the panel that holds the control.
  HWND parent = hwnd_;
  if (item.helpId != 0) {
    parent = FindDescendant(hwnd_, static_cast<int>(item.helpId));
    if (parent == nullptr)
      throw Exception(Format("Panel %lu of control %lu not found", item.helpId, item.id));
  }
  const RECT& designed = item.bounds;
  const int x = Scale(designed.left), y = Scale(designed.top);
  const int w = Scale(designed.right) - x, h = Scale(designed.bottom) - y;
  HWND child = CreateWindowExW(item.exStyle, item.className.c_str(), item.text.c_str(),
                               item.style | WS_CHILD, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)),
                               Application().Instance(), nullptr);
  if (child == nullptr)
    throw Exception(Format("Cannot create control %lu of form layout %d", item.id, resourceId));
  designed_[child] = designed;
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
}

void TForm::DoCreate() noexcept {
  try {
    if (OnCreate)
      OnCreate();
  } catch (...) {
    Application().HandleCurrentException();
  }
}

HWND TForm::Item(int id) const {
  HWND hwnd = hwnd_ ? FindDescendant(hwnd_, id) : nullptr;
  if (hwnd == nullptr)
    throw Exception(Format("Control %d not found", id));
  return hwnd;
}

std::string TForm::Caption() const {
  return ToAnsi(Text());
}

void TForm::SetCaption(const std::string& caption) {
  SetText(ToWide(caption));
}

std::wstring TForm::Text() const {
  if (hwnd_ == nullptr)
    return {};
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void TForm::SetText(const std::wstring& text) {
  if (hwnd_ != nullptr)
    SetWindowTextW(hwnd_, text.c_str());
}

bool TForm::Visible() const noexcept {
  return hwnd_ != nullptr && IsWindowVisible(hwnd_);
}

void TForm::PlaceForShowing() {
  if (position_ == TPosition::Designed)
    return;
  RECT own;
  GetWindowRect(hwnd_, &own);
  int w = own.right - own.left, h = own.bottom - own.top;
  RECT work = WorkArea();
  RECT around = work;
  TForm* main = Application().MainForm();
  if (position_ == TPosition::MainFormCenter && main != nullptr && main != this &&
      main->Visible()) {
    GetWindowRect(main->Handle(), &around);
  }
  int left = around.left + (around.right - around.left - w) / 2;
  int top = around.top + (around.bottom - around.top - h) / 2;
  // Keep the form on the screen.
  left = std::max<int>(work.left, std::min<int>(left, work.right - w));
  top = std::max<int>(work.top, std::min<int>(top, work.bottom - h));
  SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show() {
  if (hwnd_ == nullptr)
    throw Exception("Form has no window");
  bool maximize = false;
  if (!IsWindowVisible(hwnd_)) {
    PlaceForShowing();
    maximize = maximizeOnShow_;
    maximizeOnShow_ = false;
  }
  ShowWindow(hwnd_, SW_SHOW);
  if (GetActiveWindow() != hwnd_)
    SetForegroundWindow(hwnd_);
  // Maximized only once showing is over: the activation handler runs inside ShowWindow, and a
  // maximizing show would re-apply its state after whatever that handler let happen.
  if (maximize)
    ShowWindow(hwnd_, SW_MAXIMIZE);
}

void TForm::Hide() {
  if (hwnd_ != nullptr)
    ShowWindow(hwnd_, SW_HIDE);
}

void TForm::Close() {
  if (hwnd_ != nullptr)
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

int TForm::ShowModal() {
  if (hwnd_ == nullptr)
    throw Exception("Form has no window");
  if (inModal_ || Visible())
    throw Exception("Cannot make a visible window modal");

  // The application's other windows stay disabled while the form is up, on every path.
  struct ModalScope {
    TForm& form;
    std::vector<HWND> disabled;
    explicit ModalScope(TForm& f) : form(f) {
      EnumThreadWindows(
          GetCurrentThreadId(),
          [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* self = reinterpret_cast<ModalScope*>(lp);
            if (hwnd != self->form.hwnd_ && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
              self->disabled.push_back(hwnd);
            }
            return TRUE;
          },
          reinterpret_cast<LPARAM>(this));
      for (HWND hwnd : disabled)
        EnableWindow(hwnd, FALSE);
      form.inModal_ = true;
    }
    ~ModalScope() {
      form.inModal_ = false;
      for (HWND hwnd : disabled) {
        if (IsWindow(hwnd))
          EnableWindow(hwnd, TRUE);
      }
      form.Hide();
    }
  } scope(*this);

  Show();
  // Showing normally activates the form; make sure its activation handler has run once before
  // the loop even where the system did not activate it.
  if (Application().ActiveForm() != this) {
    Application().NoteActivated(this);
    FireActivate();
  }
  // A close request that arrived during activation is discarded here.
  modalResult_ = mrNone;
  while (modalResult_ == mrNone) {
    if (!Application().HandleMessage() || Application().Terminated())
      modalResult_ = mrCancel;
  }
  return modalResult_;
}

void TForm::FireActivate() {
  try {
    if (OnActivate)
      OnActivate();
  } catch (...) {
    Application().HandleCurrentException();
  }
}

void TForm::SetActiveControl(TControl* control) noexcept {
  activeControl_ = control;
  if (control != nullptr && hwnd_ != nullptr && GetActiveWindow() == hwnd_)
    control->SetFocus();
}

void TForm::FocusActiveControl() {
  HWND target = nullptr;
  if (activeControl_ != nullptr)
    target = activeControl_->Handle();
  if (target == nullptr || !IsWindowEnabled(target) || !IsWindowVisible(target)) {
    target = lastFocus_;
  }
  if (target == nullptr || !IsWindow(target) || !IsChild(hwnd_, target) ||
      !IsWindowEnabled(target) || !IsWindowVisible(target)) {
    target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  }
  if (target != nullptr && IsChild(hwnd_, target))
    ::SetFocus(target);
}

void TForm::SetShortcuts(const std::vector<ACCEL>& keys) {
  std::vector<ACCEL> copy = keys;
  AcceleratorTable table(CreateAcceleratorTableW(copy.data(), static_cast<int>(copy.size())));
  if (!table)
    throw Exception("Cannot create shortcut table");
  accel_ = std::move(table);
}

void TForm::OnCommand(WORD id, std::function<void()> handler) {
  commands_[id] = std::move(handler);
}

void TForm::SetCursor(HCURSOR cursor) {
  cursor_ = cursor;
  POINT pt;
  if (hwnd_ != nullptr && GetCursorPos(&pt)) {
    HWND under = WindowFromPoint(pt);
    if (under == hwnd_ || IsChild(hwnd_, under)) {
      ::SetCursor(cursor_ ? cursor_ : ArrowCursor());
    }
  }
}

void TForm::SetFont(GdiObject font) {
  HFONT old = Font();
  font_ = std::move(font);
  if (hwnd_ == nullptr)
    return;
  struct Change {
    HFONT from, to;
  } change{old, Font()};
  EnumChildWindows(
      hwnd_,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* c = reinterpret_cast<Change*>(lp);
        if (reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)) == c->from) {
          SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c->to), TRUE);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&change));
}

HFONT TForm::Font() const noexcept {
  if (font_.Valid())
    return static_cast<HFONT>(font_.Get());
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

RECT TForm::ClientRect() const {
  RECT r{};
  if (hwnd_ != nullptr)
    GetClientRect(hwnd_, &r);
  return r;
}

void TForm::SetBounds(int left, int top, int width, int height) {
  SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Repaint() {
  if (hwnd_ != nullptr) {
    RedrawWindow(hwnd_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  }
}

void TForm::HandleDpiChange(int dpi, const RECT& suggested) {
  const int oldDpi = dpi_;
  if (dpi > 0 && dpi != oldDpi) {
    dpi_ = dpi;
    RescaleControls(oldDpi);
    if (GdiObject font(font_.Valid() ? FontForDpi(oldDpi) : nullptr); font)
      SetFont(std::move(font));
    // Labels that take the size of their text measure it again in their new font.
    for (HWND child : Descendants(hwnd_)) {
      if (auto* label = dynamic_cast<TLabel*>(TControl::FromHandle(child));
          label && label->Handle() == child && label->AutoSize) {
        label->AdjustSize();
      }
    }
    if (OnDpiChange)
      OnDpiChange(oldDpi);
  }
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT TForm::FontForDpi(int oldDpi) const {
  // A layout's font is made again from its size in points, as at creation.
  LOGFONTW lf{};
  if (layoutFontPoints_ <= 0 || GetObjectW(Font(), sizeof(lf), &lf) == 0)
    return CopyFontForDpi(Font(), oldDpi, dpi_);
  lf.lfHeight = -MulDiv(layoutFontPoints_, dpi_, 72);
  return CreateFontIndirectW(&lf);
}

void TForm::RescaleControls(int oldDpi) {
  const auto scaled = [](const RECT& r, int from, int to) {
    return RECT{ScaleDpi(r.left, from, to), ScaleDpi(r.top, from, to), ScaleDpi(r.right, from, to),
                ScaleDpi(r.bottom, from, to)};
  };
  for (HWND child : Descendants(hwnd_)) {
    if (TControl* control = TControl::FromHandle(child); control && control->Handle() == child)
      control->RescaleOwnedFont(oldDpi, dpi_);
    // The controls a layout placed: those of the form and of its panels.
    HWND parent = GetParent(child);
    wchar_t cls[16] = {};
    GetClassNameW(parent, cls, 16);
    if (parent != hwnd_ && lstrcmpiW(cls, L"LexmoraPanel") != 0)
      continue;
    RECT now{};
    GetWindowRect(child, &now);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&now), 2);
    // A control where the layout put it is placed from its design, which does not drift over
    // several changes; one that code has moved since keeps its place in proportion.
    RECT next = scaled(now, oldDpi, dpi_);
    if (auto it = designed_.find(child); it != designed_.end()) {
      const RECT was = scaled(it->second, kDesignDpi, oldDpi);
      if (EqualRect(&was, &now))
        next = scaled(it->second, kDesignDpi, dpi_);
      else
        designed_.erase(it);
    }
    SetWindowPos(child, nullptr, next.left, next.top, next.right - next.left,
                 next.bottom - next.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool TForm::PreTranslate(MSG& msg) {
  if (accel_ && TranslateAcceleratorW(hwnd_, accel_.Get(), &msg))
    return true;
  if (msg.message == WM_KEYDOWN)
    return HandleDialogKey(msg);
  if (msg.message == WM_CHAR) {
    wchar_t key = static_cast<wchar_t>(msg.wParam);
    if ((KeyPreview || msg.hwnd == hwnd_) && OnKeyPress) {
      OnKeyPress(key);
      if (key == 0)
        return true;
    }
    TControl* control = TControl::FromHandle(msg.hwnd);
    if (control != nullptr && control->OnKeyPress) {
      control->OnKeyPress(key);
      if (key == 0)
        return true;
    }
    msg.wParam = key;
  }
  return false;
}

bool TForm::HandleDialogKey(MSG& msg) {
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
    return false;
  WPARAM vk = msg.wParam;
  if (vk != VK_RETURN && vk != VK_ESCAPE && vk != VK_TAB)
    return false;
  TControl* control = TControl::FromHandle(msg.hwnd);
  LRESULT code = msg.hwnd == hwnd_ ? 0
                 : control != nullptr
                     ? control->DialogCode(msg)
                     : SendMessageW(msg.hwnd, WM_GETDLGCODE, vk, reinterpret_cast<LPARAM>(&msg));
  if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))
    return false;
  switch (vk) {
    case VK_RETURN: {
      auto* focused = dynamic_cast<TButton*>(TControl::FromHandle(GetFocus()));
      TButton* target = focused != nullptr ? focused : defaultButton_;
      if (target == nullptr || !target->Enabled() || !target->Visible())
        return false;
      target->Click();
      return true;
    }
    case VK_ESCAPE:
      if (cancelButton_ == nullptr || !cancelButton_->Enabled() || !cancelButton_->Visible()) {
        return false;
      }
      cancelButton_->Click();
      return true;
    default: {
      if (code & DLGC_WANTTAB)
        return false;
      // Step out of compound controls (a combo box's edit) to the form's tab level.
      HWND from = msg.hwnd == hwnd_ ? nullptr : msg.hwnd;
      while (from != nullptr && GetParent(from) != hwnd_ &&
             !(GetWindowLongPtrW(GetParent(from), GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) {
        from = GetParent(from);
      }
      HWND next = GetNextDlgTabItem(hwnd_, from, GetKeyState(VK_SHIFT) < 0);
      if (next == nullptr)
        return true;
      ::SetFocus(next);
      wchar_t cls[16] = {};
      GetClassNameW(next, cls, 16);
      if (lstrcmpiW(cls, L"Edit") == 0)
        SendMessageW(next, EM_SETSEL, 0, -1);
      return true;
    }
  }
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ACTIVATE: {
      LRESULT result = DefWindowProcW(hwnd_, msg, wParam, lParam);
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus))
          lastFocus_ = focus;
      } else {
        if (!IsIconic(hwnd_))
          FocusActiveControl();
        if (Application().NoteActivated(this))
          FireActivate();
      }
      return result;
    }
    case WM_SHOWWINDOW:
      if (lParam == 0) {
        if (wParam) {
          if (OnShow)
            OnShow();
        } else {
          Application().NoteGone(this);
        }
      }
      break;
    case WM_CLOSE:
      if (inModal_) {
        modalResult_ = mrCancel;
      } else if (Application().MainForm() == this) {
        Application().Terminate();
      } else {
        Hide();
      }
      return 0;
    case WM_SIZE:
      if (OnResize)
        OnResize();
      break;
    case WM_GETMINMAXINFO:
      if (minTrack_.x > 0 || minTrack_.y > 0) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, Scale(minTrack_.x));
        info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, Scale(minTrack_.y));
        return 0;
      }
      break;
    case WM_DPICHANGED:
      HandleDpiChange(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SETCURSOR:
      if (cursor_ != nullptr && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_COMMAND:
      if (lParam != 0) {
        if (TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam))) {
          control->HandleCommand(HIWORD(wParam), LOWORD(wParam));
          return 0;
        }
      } else if (auto it = commands_.find(LOWORD(wParam)); it != commands_.end()) {
        if (it->second)
          it->second();
        return 0;
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      TControl* control = item != nullptr ? TControl::FromHandle(item->hwndItem) : nullptr;
      if (control != nullptr && control->HandleDrawItem(*item))
        return TRUE;
      break;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      LRESULT result = 0;
      TControl* control = TControl::FromHandle(header->hwndFrom);
      if (control != nullptr && control->HandleNotify(*header, result))
        return result;
      break;
    }
    case WM_DESTROY:
      if (OnDestroy)
        OnDestroy();
      Application().NoteGone(this);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace lexmora
