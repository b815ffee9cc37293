// The window framework under a real display: layouts, modal showing, dialog keys, key preview,
// shortcuts and the exception boundary.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestLayout.h"
#include "base/Errors.h"
#include "base/Reporter.h"
#include "base/Text.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Thread.h"

namespace lexmora {
namespace {

// A dialog built in code: an edit box, an OK button (default) and a Cancel button.
class TTestForm : public TForm {
 public:
  TTestForm() {
    borderStyle_ = TBorderStyle::Dialog;
    CreateEmpty();
    SetBounds(0, 0, 300, 150);
    edit.Attach(CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 100,
                                22, Handle(), nullptr, nullptr, nullptr));
    btnOK.Create(Handle(), "OK", 10, 50, 75, 25);
    btnOK.ModalResult = mrOk;
    btnCancel.Create(Handle(), "Cancel", 100, 50, 75, 25);
    btnCancel.ModalResult = mrCancel;
    SetDefaultButton(&btnOK);
    SetCancelButton(&btnCancel);
    SetActiveControl(&edit);
  }
  TEdit edit;
  TButton btnOK, btnCancel;
};

class TLayoutForm : public TForm {
 public:
  explicit TLayoutForm(int layout = IDD_TESTLAYOUT) { CreateFromLayout(layout); }
};

// Records what the application's exception handler receives.
class FormTest : public ::testing::Test {
 protected:
  ScopedExceptionHandler handler{[this](const std::exception& e) { errors.push_back(e.what()); }};
  std::vector<std::string> errors;
};

void Post(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  ASSERT_TRUE(PostMessageW(hwnd, msg, wParam, lParam));
}

TEST_F(FormTest, LayoutCoordinatesArePixelsAndHelpIdNamesThePanel) {
  auto form = MakeForm<TLayoutForm>();
  RECT client = form->ClientRect();
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 120);
  EXPECT_EQ(form->Text(), L"Layout");

  HWND panel = form->Item(IDC_TESTPANEL);
  HWND button = form->Item(IDC_TESTBUTTON);
  EXPECT_EQ(GetParent(button), panel);
  struct Case {
    HWND hwnd;
    RECT want;
  } cases[] = {{form->Item(IDC_TESTEDIT), {10, 12, 110, 33}},
               {panel, {0, 80, 200, 120}},
               {button, {120, 6, 195, 31}}};
  for (const Case& c : cases) {
    RECT r;
    GetWindowRect(c.hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(c.hwnd), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(EqualRect(&r, &c.want))
        << "control " << GetDlgCtrlID(c.hwnd) << ": got " << r.left << "," << r.top << ","
        << r.right << "," << r.bottom << " want " << c.want.left << "," << c.want.top << ","
        << c.want.right << "," << c.want.bottom;
  }
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  EXPECT_STREQ(lf.lfFaceName, L"MS Sans Serif");
  EXPECT_THROW(form->Item(12345), Exception);
}

TEST_F(FormTest, DamagedLayoutsAreRefusedWithWhatIsWrong) {
  const struct {
    int layout;
    std::string want;
  } cases[] = {
      {IDD_MISSING, "Form layout 926 not found"},
      {IDD_NOTEX, "Form layout is not a DIALOGEX"},
      {IDD_ENDSBEFOREITEM, "Invalid form layout resource"},
      {IDD_ENDSBEFOREALIGNEDITEM, "Invalid form layout resource"},
      {IDD_UNKNOWNCLASS, "Unknown control class 134 in form layout"},
      {IDD_NOPANEL, "Panel 999 of control 5 not found"},
      {IDD_UNREGISTEREDCLASS, "Cannot create control 6 of form layout 925"},
  };
  for (const auto& c : cases) {
    std::string got = "nothing raised";
    try {
      MakeForm<TLayoutForm>(c.layout);
    } catch (const Exception& e) {
      got = e.what();
    }
    EXPECT_EQ(got, c.want) << "layout " << c.layout;
  }
}

// A form built in code with the given border style.
class TBorderForm : public TForm {
 public:
  explicit TBorderForm(TBorderStyle style) {
    borderStyle_ = style;
    CreateEmpty();
  }
};

// Makes `form` the application's main form for the scope.
class ScopedMainForm {
 public:
  explicit ScopedMainForm(TForm* form) : previous_(Application().MainForm()) {
    Application().SetMainForm(form);
  }
  ~ScopedMainForm() { Application().SetMainForm(previous_); }
  ScopedMainForm(const ScopedMainForm&) = delete;
  ScopedMainForm& operator=(const ScopedMainForm&) = delete;

 private:
  TForm* previous_;
};

TEST_F(FormTest, EveryFormButASizeableOneIsOwnedByTheMainForm) {
  const struct {
    const char* name;
    std::function<FormPtr<TForm>()> make;
    bool owned;
  } cases[] = {
      {"a dialog layout", [] { return FormPtr<TForm>(MakeForm<TLayoutForm>()); }, true},
      {"an overlapped layout",
       [] { return FormPtr<TForm>(MakeForm<TLayoutForm>(IDD_OVERLAPPEDLAYOUT)); }, false},
      {"a dialog built in code",
       [] { return FormPtr<TForm>(MakeForm<TBorderForm>(TBorderStyle::Dialog)); }, true},
      {"a form built in code without a border",
       [] { return FormPtr<TForm>(MakeForm<TBorderForm>(TBorderStyle::None)); }, true},
      {"a sizeable form built in code",
       [] { return FormPtr<TForm>(MakeForm<TBorderForm>(TBorderStyle::Sizeable)); }, false},
  };
  auto main = MakeForm<TBorderForm>(TBorderStyle::Sizeable);
  for (const auto& c : cases) {
    {
      ScopedMainForm none(nullptr);
      EXPECT_EQ(GetWindow(c.make()->Handle(), GW_OWNER), nullptr) << c.name << ", no main form";
    }
    ScopedMainForm scope(main.get());
    const HWND want = c.owned ? main->Handle() : nullptr;
    EXPECT_EQ(GetWindow(c.make()->Handle(), GW_OWNER), want) << c.name;
  }
}

TEST_F(FormTest, ModalResultComesFromButtonsKeysAndCloseRequests) {
  struct Case {
    const char* name;
    bool okEnabled;
    std::vector<MSG> input;  // posted to the focused window once the form is active
    int want;
  };
  auto key = [](UINT vk) { return MSG{nullptr, WM_KEYDOWN, vk, 0, 0, {}}; };
  MSG close{nullptr, WM_CLOSE, 0, 0, 0, {}};
  const Case cases[] = {
      {"Enter presses the default button", true, {key(VK_RETURN)}, mrOk},
      {"Enter does nothing while it is disabled", false, {key(VK_RETURN), close}, mrCancel},
      {"Escape presses the cancel button", true, {key(VK_ESCAPE)}, mrCancel},
      {"a close request gives Cancel", true, {close}, mrCancel},
  };
  for (const Case& c : cases) {
    auto form = MakeForm<TTestForm>();
    form->btnOK.SetEnabled(c.okEnabled);
    form->OnActivate = [&] {
      for (MSG m : c.input) {
        Post(m.message == WM_CLOSE ? form->Handle() : GetFocus(), m.message, m.wParam);
      }
    };
    EXPECT_EQ(form->ShowModal(), c.want) << c.name;
    EXPECT_FALSE(form->Visible()) << c.name;
  }
}

TEST_F(FormTest, ActivationRunsBeforeTheLoopAndItsCloseRequestIsDiscarded) {
  auto owner = MakeForm<TTestForm>();
  owner->Show();
  auto form = MakeForm<TTestForm>();
  int activations = 0;
  bool ownerEnabledDuringModal = true;
  form->OnActivate = [&] {
    ++activations;
    ownerEnabledDuringModal = IsWindowEnabled(owner->Handle()) != 0;
    form->Close();  // discarded: the modal result is reset after activation
    Post(form->btnOK.Handle(), WM_KEYDOWN, VK_RETURN);
  };
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(activations, 1);
  EXPECT_FALSE(ownerEnabledDuringModal);
  EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
}

TEST_F(FormTest, KeyPreviewSeesCharactersFirstAndMaySwallowThem) {
  auto form = MakeForm<TTestForm>();
  std::wstring formSaw, editSaw;
  form->KeyPreview = true;
  form->OnKeyPress = [&](wchar_t& key) {
    formSaw += key;
    if (key == L'a')
      key = 0;
  };
  form->edit.OnKeyPress = [&](wchar_t& key) {
    editSaw += key;
    if (key == L'c')
      key = L'C';
  };
  form->OnActivate = [&] {
    for (wchar_t ch : std::wstring(L"abc"))
      Post(form->edit.Handle(), WM_CHAR, ch);
    Post(form->Handle(), WM_CLOSE);
  };
  form->ShowModal();
  EXPECT_EQ(formSaw, L"abc");
  EXPECT_EQ(editSaw, L"bc");
  EXPECT_EQ(form->edit.Text(), L"bC");
}

TEST_F(FormTest, ShortcutsRunTheirCommandsFromAnyControl) {
  auto form = MakeForm<TTestForm>();
  std::vector<WORD> ran;
  form->SetShortcuts({{FVIRTKEY, VK_F1, 101}, {FVIRTKEY | FCONTROL, 'D', 102}});
  form->OnCommand(101, [&] { ran.push_back(101); });
  form->OnCommand(102, [&] { ran.push_back(102); });
  form->OnActivate = [&] {
    Post(form->edit.Handle(), WM_KEYDOWN, VK_F1);
    Post(form->btnOK.Handle(), WM_KEYDOWN, 'D');  // without Ctrl: no shortcut
    Post(form->Handle(), WM_CLOSE);
  };
  form->ShowModal();
  EXPECT_EQ(ran, std::vector<WORD>{101});
}

TEST_F(FormTest, ExceptionsInHandlersReachTheApplicationHandler) {
  auto form = MakeForm<TTestForm>();
  form->btnOK.OnClick = [] { throw EListError(-1); };
  form->edit.OnKeyPress = [](wchar_t&) { throw Exception("key"); };
  form->OnActivate = [&] {
    Post(form->edit.Handle(), WM_CHAR, L'x');
    Post(form->Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
         reinterpret_cast<LPARAM>(form->btnOK.Handle()));
    throw Exception("activate");
  };
  // The OK button's modal result is set before its handler throws, so the loop ends.
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(errors, (std::vector<std::string>{"activate", "key", "List index out of bounds (-1)"}));
}

// A message box raised by code that knows no window belongs to the form in front, so that the
// form takes no input while the box is up; with no form shown it has no owner.
TEST_F(FormTest, MessageBoxesWithoutAnOwnerBelongToTheFormInFront) {
  Application().Initialize();
  auto form = MakeForm<TTestForm>();
  HWND owner = nullptr;
  form->OnActivate = [&] {
    owner = MessageOwner();
    Post(form->Handle(), WM_CLOSE);
  };
  form->ShowModal();
  EXPECT_EQ(owner, form->Handle());
  EXPECT_EQ(MessageOwner(), nullptr) << "a hidden form owns the box";
}

class RecordingReporter : public Reporter {
 public:
  int ShowMessage(HWND, const std::string& text, const std::string& caption, UINT style) override {
    shown.push_back(caption + "|" + text + "|" + std::to_string(style));
    return IDOK;
  }
  std::vector<std::string> shown;
};

TEST(ApplicationTest, DefaultHandlerShowsTheTextUnderTheApplicationTitle) {
  RecordingReporter reporter;
  ScopedReporter scope(reporter);
  std::string oldTitle = Application().Title();
  Application().SetTitle("Lexmora test");
  Application().HandleException(EInOutError(io_error::kFileNotFound));
  Application().SetTitle(oldTitle);
  EXPECT_EQ(reporter.shown, std::vector<std::string>{"Lexmora test|File not found|" +
                                                     std::to_string(MB_OK | MB_ICONERROR)});
}

// A message that quotes a name the system code page cannot spell reaches the reporter in UTF-16
// as it is; the 8-bit form is only the fallback of reporters that take no wide text.
TEST(ApplicationTest, DefaultHandlerHandsOnTheExactTextOfAnError) {
  struct WideRecorder : RecordingReporter {
    int ShowWideMessage(HWND, const std::wstring& text, const std::wstring& caption,
                        UINT) override {
      wide.push_back(caption + L"|" + text);
      return IDOK;
    }
    std::vector<std::wstring> wide;
  };
  const std::wstring path = L"C:\\\u0420\u0435\u0447\u043D\u0438\u043A\\a.dat";
  const struct {
    std::function<void()> raise;
    std::wstring want;
  } cases[] = {
      {[&] { throw EFOpenError(path, "Gone"); }, L"Cannot open file \"" + path + L"\". Gone"},
      {[] { throw EInOutError(io_error::kFileNotFound); }, L"File not found"},
      {[] { throw std::runtime_error("plain"); }, L"plain"},
  };
  const std::string oldTitle = Application().Title();
  Application().SetTitle("Lexmora test");
  WideRecorder reporter;
  ScopedReporter scope(reporter);
  std::vector<std::wstring> wanted;
  for (const auto& c : cases) {
    try {
      c.raise();
    } catch (...) {
      Application().HandleCurrentException();
    }
    wanted.push_back(L"Lexmora test|" + c.want);
  }
  Application().SetTitle(oldTitle);
  EXPECT_EQ(reporter.wide, wanted);
  EXPECT_TRUE(reporter.shown.empty());
}

class TSignalThread : public TThread {
 public:
  TSignalThread(HANDLE done, DWORD* threadId, bool fail)
      : done_(done), threadId_(threadId), fail_(fail) {}

 protected:
  void Execute() override {
    *threadId_ = GetCurrentThreadId();
    SetEvent(done_);
    if (fail_)
      throw Exception("thread failed");
  }

 private:
  HANDLE done_;
  DWORD* threadId_;
  bool fail_;
};

TEST_F(FormTest, ThreadRunsDetachedAndReportsItsException) {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  DWORD threadId = 0;
  std::atomic<int> reported{0};
  ScopedExceptionHandler counting([&](const std::exception&) { ++reported; });
  TThread::Create<TSignalThread>(done, &threadId, true);
  ASSERT_EQ(WaitForSingleObject(done, 5000), WAIT_OBJECT_0);
  for (int i = 0; i < 500 && reported == 0; ++i)
    Sleep(10);
  CloseHandle(done);
  EXPECT_NE(threadId, GetCurrentThreadId());
  EXPECT_EQ(reported, 1);
}

}  // namespace
}  // namespace lexmora
