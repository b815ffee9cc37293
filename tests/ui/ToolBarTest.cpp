// The tool bar and its image list under a real display.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "GdiObjects.h"
#include "TestLayout.h"
#include "base/Errors.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/ToolBar.h"

namespace lexmora {
namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

TEST(TImageList, AddingAStripResourceLeavesNoGdiObjectBehind) {
  // The count must see a single bitmap, or the rows below could not fail.
  const int empty = test::GdiObjectCount();
  HBITMAP probe = CreateBitmap(4, 4, 1, 32, nullptr);
  ASSERT_EQ(test::GdiObjectCount(), empty + 1) << "the GDI object count does not see a bitmap";
  DeleteObject(probe);

  const struct {
    const char* name;
    bool created;
    int bitmapId;
    bool throws;
    int images;
  } cases[] = {
      {"a created list takes the strip's images", true, IDB_TESTSTRIP, false, 6},
      {"a list never created refuses them", false, IDB_TESTSTRIP, true, 0},
      {"a missing resource adds nothing", true, IDB_TESTSTRIP + 1, false, 0},
  };
  for (const auto& c : cases) {
    const int before = test::GdiObjectCount();
    {
      TImageList list;
      if (c.created)
        list.Create(16, 16);
      bool threw = false;
      try {
        list.AddStripResource(c.bitmapId, kMagenta);
      } catch (const Exception&) {
        threw = true;
      }
      EXPECT_EQ(threw, c.throws) << c.name;
      EXPECT_EQ(list.Count(), c.images) << c.name;
    }
    EXPECT_EQ(test::GdiObjectCount(), before) << c.name << ": GDI objects left behind";
  }
}

constexpr int kPlain = 101, kCheck = 102, kOff = 103;

// A shown form with a tool bar: a plain button, a check-style one, a disabled one and an edit
// box placed on the bar.
class TBarForm : public TForm {
 public:
  TBarForm() {
    CreateEmpty();
    SetBounds(0, 0, 400, 200);
    images.Create(16, 16);
    images.AddStripResource(IDB_TESTSTRIP, kMagenta);
    bar.Create(Handle(), &images);
    edit.Attach(CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 80, 20,
                                Handle(), nullptr, nullptr, nullptr));
    bar.AddButton(kPlain, 0, "Plain (Ctrl+P)");
    bar.AddButton(kCheck, 1, "Checked", true);
    bar.AddButton(kOff, 2, "Off");
    bar.AddControl(edit, 120);
    bar.AutoSize();
    bar.Button(kOff)->SetEnabled(false);
    Show();
  }
  TImageList images;
  TToolBar bar;
  TEdit edit;
};

class ToolBarTest : public ::testing::Test {
 protected:
  ScopedExceptionHandler handler{[this](const std::exception& e) { errors.push_back(e.what()); }};
  std::vector<std::string> errors;
  FormPtr<TBarForm> form = MakeForm<TBarForm>();

  // A press and release of the left mouse button in the middle of the button.
  void Click(int id) {
    RECT r{};
    SendMessageW(form->bar.Handle(), TB_GETRECT, static_cast<WPARAM>(id),
                 reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(form->bar.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(form->bar.Handle(), WM_LBUTTONUP, 0, at);
    Application().ProcessMessages();
  }
};

TEST_F(ToolBarTest, ClicksRunTheButtonsHandlersWithTheNewStateOfACheckButton) {
  std::vector<std::string> ran;
  for (int id : {kPlain, kCheck, kOff}) {
    TToolButton* button = form->bar.Button(id);
    ASSERT_NE(button, nullptr) << id;
    button->OnClick = [&ran, button] {
      ran.push_back(button->Hint() + (button->Down() ? " down" : " up"));
    };
  }
  const struct {
    int id;
    std::vector<std::string> want;
  } cases[] = {
      {kPlain, {"Plain (Ctrl+P) up"}},
      {kCheck, {"Checked down"}},  // the state has changed when the handler runs
      {kCheck, {"Checked up"}},
      {kOff, {}},
  };
  for (const auto& c : cases) {
    ran.clear();
    Click(c.id);
    EXPECT_EQ(ran, c.want) << "button " << c.id;
  }
  form->bar.Button(kCheck)->SetDown(true);
  EXPECT_TRUE(form->bar.Button(kCheck)->Down());
  EXPECT_FALSE(form->bar.Button(kOff)->Enabled());
  EXPECT_EQ(form->bar.Button(999), nullptr);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(ToolBarTest, HintsComeFromTheButtonUnderThePointer) {
  HWND tips = reinterpret_cast<HWND>(SendMessageW(form->bar.Handle(), TB_GETTOOLTIPS, 0, 0));
  ASSERT_NE(tips, nullptr);
  const struct {
    UINT_PTR id;
    std::wstring want;
  } cases[] = {{kPlain, L"Plain (Ctrl+P)"}, {kCheck, L"Checked"}, {kOff, L"Off"}, {999, L""}};
  for (const auto& c : cases) {
    NMTTDISPINFOW info{};
    info.hdr = {tips, c.id, TTN_GETDISPINFOW};
    // The tool tip asks the bar, which passes the question on to its parent, the form.
    SendMessageW(form->Handle(), WM_NOTIFY, c.id, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::wstring(info.lpszText ? info.lpszText : L"<none>"), c.want) << "button " << c.id;
  }
}

TEST_F(ToolBarTest, APlacedControlFillsItsGapInTheMiddleOfTheBar) {
  EXPECT_EQ(GetParent(form->edit.Handle()), form->bar.Handle());
  const int count = static_cast<int>(SendMessageW(form->bar.Handle(), TB_BUTTONCOUNT, 0, 0));
  RECT gap{};
  SendMessageW(form->bar.Handle(), TB_GETITEMRECT, static_cast<WPARAM>(count - 1),
               reinterpret_cast<LPARAM>(&gap));
  const RECT edit = form->edit.BoundsRect();
  EXPECT_EQ(edit.left, gap.left);
  EXPECT_EQ(edit.right - edit.left, 120);
  EXPECT_EQ(edit.bottom - edit.top, 20);
  EXPECT_EQ(edit.top, std::max(0L, gap.top + (gap.bottom - gap.top - 20) / 2));
  EXPECT_EQ(form->bar.Height(), form->bar.BoundsRect().bottom - form->bar.BoundsRect().top);
  EXPECT_GE(form->bar.Height(), edit.bottom) << "the bar is lower than the control on it";
}

}  // namespace
}  // namespace lexmora
