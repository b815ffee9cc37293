// The options dialog on a real display: its texts, the up-down ranges, the round trip of the
// values the main window fills in, and the font dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/OptionsU.h"
#include "ui/Application.h"

namespace lexmora {
namespace {

void Post(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  ASSERT_TRUE(PostMessageW(hwnd, msg, wParam, lParam));
}

class OptionsTest : public ::testing::Test {
 protected:
  std::vector<std::string> errors;
  ScopedExceptionHandler handler{[this](const std::exception& e) { errors.push_back(e.what()); }};
  FormPtr<TfmOptions> form = MakeForm<TfmOptions>();

  int Show(const std::function<void()>& act) {
    form->OnActivate = act;
    return form->ShowModal();
  }
};

TEST_F(OptionsTest, TextsAndRangesAreThoseOfTheDesign) {
  RECT client = form->ClientRect();
  EXPECT_EQ(client.right, 344);
  EXPECT_EQ(client.bottom, 489);
  struct Case {
    TControl& control;
    const char* want;
  } cases[] = {
      {form->lblOptions, "Options"},
      {form->lblInfo, "You can define the settings of the program from here"},
      {form->chbAllow, "Allow multiple instances"},
      {form->chbReadHDD, "Don't load index file in memory"},
      {form->chbDocking, "Dock window at"},
      {form->lblPixels, "pixels"},
      {form->lblHistory, "Keep a maximum of "},
      {form->lblItems, "items in history"},
      {form->chbRefineText, "Use letter conversion (must reload dictionary)"},
      {form->chbLookupCopied, "Look up copied text"},
      {form->lblFont, "Font :"},
      {form->btnChangeFont, "Change"},
      {form->btnOK, "OK"},
      {form->btnCancel, "Cancel"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.control.Caption(), c.want);
  EXPECT_EQ(form->Caption(), "Options");
  EXPECT_EQ(form->udPixels.Min(), 2);
  EXPECT_EQ(form->udPixels.Max(), 70);
  EXPECT_EQ(form->udItems.Min(), 2);
  EXPECT_EQ(form->udItems.Max(), 100);
  EXPECT_EQ(form->dlgFont.Font.name, "MS Sans Serif");
  EXPECT_EQ(form->dlgFont.Font.size, 8);
}

TEST_F(OptionsTest, ArrowKeysMoveByOneWithinTheRange) {
  struct Case {
    const char* name;
    TUpDown& upDown;
    TEdit& edit;
    int16_t start;
    WPARAM key;
    int16_t want;
  } cases[] = {
      {"pixels up at the top", form->udPixels, form->edtPixels, 70, VK_UP, 70},
      {"pixels down at the bottom", form->udPixels, form->edtPixels, 2, VK_DOWN, 2},
      {"pixels up", form->udPixels, form->edtPixels, 10, VK_UP, 11},
      {"items up at the top", form->udItems, form->edtItems, 100, VK_UP, 100},
      {"items down at the bottom", form->udItems, form->edtItems, 2, VK_DOWN, 2},
      {"items down", form->udItems, form->edtItems, 50, VK_DOWN, 49},
  };
  for (const Case& c : cases) {
    c.upDown.SetPosition(c.start);
    std::wstring text;
    int result = Show([&] {
      c.edit.SetFocus();
      Post(c.edit.Handle(), WM_KEYDOWN, c.key);
      Post(form->Handle(), WM_KEYDOWN, VK_RETURN);
    });
    EXPECT_EQ(result, mrOk) << c.name;
    EXPECT_EQ(c.upDown.Position(), c.want) << c.name;
    EXPECT_EQ(c.edit.Text(), std::to_wstring(c.want)) << c.name;
  }
}

// The note on the hotkey says what the main window found, in full within its label.
TEST_F(OptionsTest, HotKeyNoteSaysWhetherAnotherProgramHoldsTheKey) {
  const struct {
    bool available;
    const char* want;
  } cases[] = {
      {true, "Ctrl+Alt+L brings Lexmora to the front"},
      {false, "Ctrl+Alt+L is in use by another program"},
  };
  for (const auto& c : cases) {
    form->ShowHotKeyState(c.available);
    EXPECT_EQ(form->lblHotKey.Caption(), c.want);
    HWND label = form->lblHotKey.Handle();
    const std::wstring text = form->lblHotKey.Text();
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, form->lblHotKey.Font());
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    RECT room{};
    GetClientRect(label, &room);
    EXPECT_LE(extent.cx, room.right) << c.want << ": the label cuts the text off";
  }
}

TEST_F(OptionsTest, ShowsWhatWasFilledInAndGivesItBack) {
  struct Case {
    const char* name;
    bool docking, refine, allow, readHdd;
    int16_t pixels, items;
    UINT closeKey;
    int want;
  } cases[] = {
      {"OK", true, false, true, false, 12, 30, VK_RETURN, mrOk},
      {"Cancel", false, true, false, true, 70, 2, VK_ESCAPE, mrCancel},
  };
  for (const Case& c : cases) {
    form->chbDocking.SetChecked(c.docking);
    form->chbRefineText.SetChecked(c.refine);
    form->chbAllow.SetChecked(c.allow);
    form->chbReadHDD.SetChecked(c.readHdd);
    form->udPixels.SetPosition(c.pixels);
    form->udItems.SetPosition(c.items);
    form->dlgFont.Font = {"Lucida Sans Unicode", 8};
    std::string label;
    std::wstring pixelsText, itemsText;
    int result = Show([&] {
      label = form->lblFontInfo.Caption();
      pixelsText = form->edtPixels.Text();
      itemsText = form->edtItems.Text();
      Post(GetFocus(), WM_KEYDOWN, c.closeKey);
    });
    EXPECT_EQ(result, c.want) << c.name;
    EXPECT_EQ(label, "Lucida Sans Unicode, 8") << c.name;
    EXPECT_EQ(pixelsText, std::to_wstring(c.pixels)) << c.name;
    EXPECT_EQ(itemsText, std::to_wstring(c.items)) << c.name;
    EXPECT_EQ(form->chbDocking.Checked(), c.docking) << c.name;
    EXPECT_EQ(form->chbRefineText.Checked(), c.refine) << c.name;
    EXPECT_EQ(form->chbAllow.Checked(), c.allow) << c.name;
    EXPECT_EQ(form->chbReadHDD.Checked(), c.readHdd) << c.name;
    EXPECT_EQ(form->udPixels.Position(), c.pixels) << c.name;
    EXPECT_EQ(form->udItems.Position(), c.items) << c.name;
  }
  EXPECT_EQ(errors, std::vector<std::string>{});
}

// Acts on the font dialog once it is up: records its size list, then either sets a size and
// confirms or cancels.
struct FontDialogDriver {
  std::vector<std::wstring> sizes;
  const wchar_t* typedSize = nullptr;  // nullptr: cancel
  std::string chosen;                  // "face, size" as the dialog showed them at OK
  bool done = false;
};
FontDialogDriver* g_driver = nullptr;

void CALLBACK DriveFontDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lp) -> BOOL {
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
          *reinterpret_cast<HWND*>(lp) = hwnd;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr || g_driver->done)
    return;
  g_driver->done = true;
  KillTimer(nullptr, timer);
  const int sizeBox = 0x472;  // the size combo box of the system's font dialog
  HWND sizes = GetDlgItem(dialog, sizeBox);
  int count = static_cast<int>(SendMessageW(sizes, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[16] = {};
    SendMessageW(sizes, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    g_driver->sizes.push_back(text);
  }
  if (g_driver->typedSize != nullptr) {
    const int faceBox = 0x470;
    SendMessageW(sizes, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(g_driver->typedSize));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(sizeBox, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(sizes));
    char face[LF_FACESIZE] = {}, size[16] = {};
    GetDlgItemTextA(dialog, faceBox, face, LF_FACESIZE);
    GetDlgItemTextA(dialog, sizeBox, size, 16);
    g_driver->chosen = std::string(face) + ", " + size;
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  } else {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }
}

TEST_F(OptionsTest, FontDialogOffersSixToFortyPointsAndCancelKeepsTheFont) {
  struct Case {
    const char* name;
    const wchar_t* typedSize;
  } cases[] = {{"cancel", nullptr}, {"choose 20 points", L"20"}};
  // A scalable font the test prefix has (Wine's own Tahoma), so that any size can be chosen.
  for (const Case& c : cases) {
    form->dlgFont.Font = {"Tahoma", 8};
    FontDialogDriver driver;
    driver.typedSize = c.typedSize;
    g_driver = &driver;
    std::string label;
    Show([&] {
      SetTimer(nullptr, 0, 50, DriveFontDialog);
      form->btnChangeFont.Click();
      label = form->lblFontInfo.Caption();
      Post(form->Handle(), WM_CLOSE);
    });
    g_driver = nullptr;
    EXPECT_TRUE(driver.done) << c.name;
    // Cancelling keeps the label; OK takes what the dialog showed.
    std::string want = c.typedSize ? driver.chosen : "Tahoma, 8";
    EXPECT_EQ(label, want) << c.name;
    if (c.typedSize) {
      EXPECT_EQ(form->dlgFont.Font.size, 20) << c.name;
    }
    EXPECT_FALSE(driver.sizes.empty()) << c.name;
    for (const std::wstring& size : driver.sizes) {
      int points = _wtoi(size.c_str());
      EXPECT_TRUE(points >= 6 && points <= 40) << c.name << ": size " << points << " offered";
    }
  }
}

}  // namespace
}  // namespace lexmora
