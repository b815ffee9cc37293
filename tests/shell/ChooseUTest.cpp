// The dictionary chooser on a real display: its listing, the check box's rules across showings,
// and the keys and mouse actions that confirm or cancel it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "../resources/ChooseDictIds.h"
#include "TestFiles.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "shell/ChooseU.h"
#include "shell/ConstU.h"
#include "ui/Application.h"

namespace lexmora {
namespace {

using test::TempDir;

void Post(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  ASSERT_TRUE(PostMessageW(hwnd, msg, wParam, lParam));
}

class ChooseTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::vector<std::string> errors;
  ScopedExceptionHandler handler{[this](const std::exception& e) { errors.push_back(e.what()); }};
  FormPtr<TfmChooseDict> form = MakeForm<TfmChooseDict>();

  void SetUp() override { form->SetFolder(ToWide(dir.Path())); }

  void Touch(const std::string& name) { test::WriteBytes(dir.File(name), {0xB7, 0x00}); }

  // Shows the chooser modally and runs `act` once it is active.
  int Show(const std::function<void()>& act) {
    form->OnActivate = act;
    return form->ShowModal();
  }

  // Selects an item the way the list reports a user's selection.
  void Select(int32_t index) {
    form->lbFiles.SetItemIndex(index);
    SendMessageW(form->Handle(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(form->lbFiles.Handle()), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(form->lbFiles.Handle()));
  }

  int32_t IndexOf(const std::string& name) {
    for (int32_t i = 0; i < form->lbFiles.Count(); ++i) {
      if (form->lbFiles.Item(i) == ToWide(name))
        return i;
    }
    ADD_FAILURE() << name << " not listed";
    return -1;
  }

  std::vector<std::string> Listed() {
    std::vector<std::string> names;
    for (int32_t i = 0; i < form->lbFiles.Count(); ++i)
      names.push_back(ToAnsi(form->lbFiles.Item(i)));
    return names;
  }
};

TEST(StripExtensionTest, RemovesTheLastDotAndWhatFollows) {
  struct Case {
    const wchar_t* name;
    const wchar_t* want;
  } cases[] = {{L"x.dat", L"x"}, {L"a.b.dat", L"a.b"}, {L".dat", L""}, {L"noext", L""},
               {L"a.", L"a"},    {L"..dat", L"."},     {L"", L""}};
  for (const Case& c : cases) {
    EXPECT_EQ(TfmChooseDict::StripExtension(c.name), c.want) << "name \"" << ToAnsi(c.name) << "\"";
  }
}

TEST_F(ChooseTest, ListsEveryDatFileInDirectoryOrder) {
  // The pattern *.dat also matches longer extensions and names whose short 8.3 form ends in
  // .DAT; those are no dictionaries.
  for (const char* name : {"b.dat", "a.dat", "c.txt", "a.b.dat", "h.dat", "e.DAT", "x.data",
                           "longname-dictionary.dat~", "notes.dat.bak"})
    Touch(name);
  SetFileAttributesA(dir.File("h.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
  CreateDirectoryA(dir.File("d.dat").c_str(), nullptr);

  // The order the directory search returns, which the list keeps.
  std::vector<std::string> searchOrder;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(dir.File("*.dat").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    const std::string name = found.cFileName;
    if (name.size() >= 4 && _stricmp(name.c_str() + name.size() - 4, ".dat") == 0)
      searchOrder.push_back(ToAnsi(TfmChooseDict::StripExtension(ToWide(name))));
  } while (FindNextFileA(search, &found));
  FindClose(search);

  std::vector<std::string> listed;
  int32_t selection = 0;
  bool sortEnabled = true;
  HWND focus = nullptr;
  Show([&] {
    listed = Listed();
    selection = form->lbFiles.ItemIndex();
    sortEnabled = form->chbDoSort.Enabled();
    focus = GetFocus();
    Post(form->Handle(), WM_CLOSE);
  });
  EXPECT_EQ(listed, searchOrder);
  std::vector<std::string> sorted = listed;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<std::string>{"a", "a.b", "b", "d", "e", "h"}));
  EXPECT_EQ(selection, -1);
  EXPECT_FALSE(sortEnabled);
  EXPECT_EQ(focus, form->lbFiles.Handle());
}

// Names that the system code page cannot spell, in a folder of such a name, are listed and
// returned as they are, and the index beside one is found.
TEST_F(ChooseTest, ListsNamesOutsideTheCodePageAsTheyAre) {
  const std::wstring folder =
      ToWide(dir.Path()) + L"\u0420\u0435\u0447\u043D\u0438\u043A\\";  // Речник
  const std::wstring name = L"\u0431\u044A\u043B\u0433\u0430\u0440\u0441\u043A\u0438";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  test::WriteBytes(folder + name + L".dat", {0xB7, 0x00});
  test::WriteBytes(folder + name + L".ind", {});
  form->SetFolder(folder);
  std::vector<std::wstring> listed;
  std::wstring selected;
  bool sortEnabled = true;
  Show([&] {
    for (int32_t i = 0; i < form->lbFiles.Count(); ++i)
      listed.push_back(form->lbFiles.Item(i));
    Select(0);
    selected = form->SelectedName();
    sortEnabled = form->chbDoSort.Enabled();
    Post(form->Handle(), WM_CLOSE);
  });
  EXPECT_EQ(listed, std::vector<std::wstring>{name});
  EXPECT_EQ(selected, name);
  EXPECT_FALSE(sortEnabled) << "the index beside the dictionary was not found";
}

TEST_F(ChooseTest, MissingFolderGivesAnEmptyList) {
  form->SetFolder(ToWide(dir.File("Nowhere\\")));
  int32_t count = -1;
  Show([&] {
    count = form->lbFiles.Count();
    Post(form->Handle(), WM_CLOSE);
  });
  EXPECT_EQ(count, 0);
}

TEST_F(ChooseTest, CheckBoxFollowsTheIndexAndItsTagAcrossShowings) {
  for (const char* name : {"indexed.dat", "indexed.ind", "fresh.dat", "other.dat"})
    Touch(name);
  struct Step {
    const char* name;
    std::function<void()> act;
    bool wantEnabled, wantChecked, wantSort;
    const char* wantTagItem;
  };
  std::vector<Step> first = {
      {"select a dictionary without index", [&] { Select(IndexOf("fresh")); }, true, false, false,
       "fresh"},
      {"check it", [&] { form->chbDoSort.SetChecked(true); }, true, true, true, "fresh"},
      {"select the same item again", [&] { Select(IndexOf("fresh")); }, true, true, true, "fresh"},
      {"select one with an index", [&] { Select(IndexOf("indexed")); }, false, false, false,
       "indexed"},
      {"check it anyway", [&] { form->chbDoSort.SetChecked(true); }, false, true, false, "indexed"},
      {"back to the one without index", [&] { Select(IndexOf("fresh")); }, true, false, false,
       "fresh"},
      {"check it and confirm", [&] { form->chbDoSort.SetChecked(true); }, true, true, true,
       "fresh"},
  };
  auto runSteps = [&](const std::vector<Step>& steps) {
    for (const Step& s : steps) {
      s.act();
      EXPECT_EQ(form->chbDoSort.Enabled(), s.wantEnabled) << s.name;
      EXPECT_EQ(form->chbDoSort.Checked(), s.wantChecked) << s.name;
      EXPECT_EQ(form->SortRequested(), s.wantSort) << s.name;
      EXPECT_EQ(form->chbDoSort.Tag, IndexOf(s.wantTagItem)) << s.name;
    }
  };
  EXPECT_EQ(Show([&] {
              runSteps(first);
              Post(form->lbFiles.Handle(), WM_CHAR, VK_RETURN);
            }),
            mrOk);
  EXPECT_EQ(form->SelectedName(), L"fresh");
  EXPECT_TRUE(form->SortRequested());

  // Shown again: checked but disabled until an item is selected; the item of the last reset
  // keeps the check.
  std::vector<Step> second = {
      {"reselect the item of the last reset", [&] { Select(IndexOf("fresh")); }, true, true, true,
       "fresh"},
  };
  bool enabledAtShow = true, checkedAtShow = false;
  std::string noSelection;
  EXPECT_EQ(Show([&] {
              enabledAtShow = form->chbDoSort.Enabled();
              checkedAtShow = form->chbDoSort.Checked();
              try {
                form->SelectedName();
              } catch (const EListError& e) {
                noSelection = e.what();
              }
              runSteps(second);
              Post(form->lbFiles.Handle(), WM_CHAR, VK_ESCAPE);
            }),
            mrCancel);
  EXPECT_FALSE(enabledAtShow);
  EXPECT_TRUE(checkedAtShow);
  EXPECT_EQ(noSelection, "List index out of bounds (-1)");
}

TEST_F(ChooseTest, EnterAndDoubleClickConfirmEscapeAndCloseCancel) {
  Touch("one.dat");
  Touch("two.dat");
  struct Case {
    const char* name;
    bool select;
    std::function<void()> input;
    int want;
  };
  const Case cases[] = {
      {"Enter key", true, [&] { Post(form->lbFiles.Handle(), WM_KEYDOWN, VK_RETURN); }, mrOk},
      {"Enter character", true, [&] { Post(form->lbFiles.Handle(), WM_CHAR, VK_RETURN); }, mrOk},
      {"double click", true,
       [&] { Post(form->lbFiles.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5)); }, mrOk},
      {"Escape key", true, [&] { Post(form->lbFiles.Handle(), WM_KEYDOWN, VK_ESCAPE); }, mrCancel},
      {"close request", true, [&] { Post(form->Handle(), WM_CLOSE); }, mrCancel},
      {"system close command", true, [&] { Post(form->Handle(), WM_SYSCOMMAND, SC_CLOSE); },
       mrCancel},
      // Confirming with nothing selected is refused: the dialog stays until it is closed.
      {"Enter with nothing selected", false,
       [&] {
         Post(form->lbFiles.Handle(), WM_CHAR, VK_RETURN);
         Post(form->Handle(), WM_CLOSE);
       },
       mrCancel},
  };
  for (const Case& c : cases) {
    int result = Show([&] {
      if (c.select)
        Select(0);
      c.input();
    });
    EXPECT_EQ(result, c.want) << c.name;
  }
}

TEST_F(ChooseTest, ClickingTheCheckBoxGivesTheFocusBackToTheList) {
  Touch("one.dat");
  HWND focus = nullptr;
  int result = Show([&] {
    Select(0);
    form->chbDoSort.SetFocus();
    SendMessageW(form->chbDoSort.Handle(), BM_CLICK, 0, 0);
    focus = GetFocus();
    Post(GetFocus(), WM_KEYDOWN, VK_RETURN);
  });
  EXPECT_EQ(focus, form->lbFiles.Handle());
  EXPECT_TRUE(form->chbDoSort.Checked());
  EXPECT_EQ(result, mrOk);
}

// The dictionaries in use come first, ticked, in their order; Space and a click on the box tick,
// the arrows and Ctrl+Up/Down move, and OK gives the ticked names in the order listed, or the
// selected one alone when the ticks were left as shown.
TEST_F(ChooseTest, TicksAndOrderOfTheDictionariesInUse) {
  for (const char* name : {"a.dat", "b.dat", "c.dat", "d.dat"})
    Touch(name);
  form->SetInUse({L"c", L"gone", L"A"});
  std::vector<std::string> listedAtShow;
  std::vector<std::wstring> tickedAtShow, chosenAsShown, chosen;
  std::vector<std::string> listedAtEnd;
  int ctrlDownMoves = -1;
  EXPECT_EQ(Show([&] {
              listedAtShow = Listed();
              tickedAtShow = form->TickedNames();
              Select(IndexOf("d"));
              chosenAsShown = form->ChosenNames();  // d alone: the ticks are as shown
              // The key's character comes as the message loop translates the key.
              Post(form->lbFiles.Handle(), WM_KEYDOWN, VK_SPACE);
              Post(form->lbFiles.Handle(), WM_KEYUP, VK_SPACE);
              Application().ProcessMessages();
              {
                // d ticked; up twice, with the arrow and the menu command; then a unticked.
                NMUPDOWN arrow{{form->udMove.Handle(), 0, UDN_DELTAPOS}, 1, 1};
                SendMessageW(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&arrow));
                SendMessageW(form->Handle(), WM_COMMAND, IDM_CHOOSE_MOVEUP, 0);
                const int32_t before = form->lbFiles.ItemIndex();
                SendMessageW(form->Handle(), WM_COMMAND, IDM_CHOOSE_MOVEDOWN, 0);
                ctrlDownMoves = form->lbFiles.ItemIndex() - before;
                SendMessageW(form->Handle(), WM_COMMAND, IDM_CHOOSE_MOVEUP, 0);
                Select(IndexOf("a"));
                form->ToggleTick(IndexOf("a"));
                listedAtEnd = Listed();
                chosen = form->ChosenNames();
                Post(form->lbFiles.Handle(), WM_CHAR, VK_RETURN);
              }
            }),
            mrOk);
  EXPECT_EQ(listedAtShow, (std::vector<std::string>{"c", "a", "b", "d"}))
      << "as in use, then the rest";
  EXPECT_EQ(tickedAtShow, (std::vector<std::wstring>{L"c", L"a"}));
  EXPECT_EQ(chosenAsShown, std::vector<std::wstring>{L"d"});
  EXPECT_EQ(ctrlDownMoves, 1);
  EXPECT_EQ(listedAtEnd, (std::vector<std::string>{"c", "d", "a", "b"}));
  EXPECT_EQ(chosen, (std::vector<std::wstring>{L"c", L"d"}));
}

// No more than the most in use can be ticked; the tick refused beeps.
TEST_F(ChooseTest, TicksStopAtTheMostInUse) {
  std::vector<std::wstring> inUse;
  std::string name;
  for (size_t k = 0; k <= kMaxDictsInUse; ++k) {
    name = std::to_string(k);
    Touch(name + ".dat");
    if (k < kMaxDictsInUse)
      inUse.push_back(ToWide(name));
  }
  form->SetInUse(inUse);
  size_t ticked = 0;
  bool lastTicked = true;
  Show([&] {
    const int32_t last = IndexOf(name);
    form->ToggleTick(last);
    ticked = form->TickedNames().size();
    lastTicked = form->lbFiles.Ticked(last);
    Post(form->Handle(), WM_CLOSE);
  });
  EXPECT_EQ(ticked, kMaxDictsInUse);
  EXPECT_FALSE(lastTicked);
}

TEST_F(ChooseTest, LayoutMatchesTheDesign) {
  EXPECT_EQ(form->Caption(), "Choose Dictionary");
  EXPECT_EQ(form->chbDoSort.Caption(), "Sort index file alphabetically");
  EXPECT_EQ(GetParent(form->chbDoSort.Handle()), form->pnlBottom.Handle());
  const RECT client = form->ClientRect(), list = form->lbFiles.BoundsRect();
  const RECT box = form->chbDoSort.BoundsRect(), panel = form->pnlBottom.BoundsRect();
  const struct {
    const char* what;
    LONG got;
    LONG want;
  } cases[] = {
      {"client width", client.right, 183},
      {"client height", client.bottom, 230},
      {"sizing frame and minimize, maximize boxes",
       GetWindowLongW(form->Handle(), GWL_STYLE) &
           (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
       0},
      {"list width", list.right - list.left, 183},
      {"list height", list.bottom - list.top, 200},
      {"panel top", panel.top, 200},
      {"panel height", panel.bottom - panel.top, 30},
      {"check box left", box.left, 8},
      {"check box top", box.top, 8},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.got, c.want) << c.what;
}

}  // namespace
}  // namespace lexmora
