// Filling the five panes: a pane is loaded again only when what it would show changes, and one
// that keeps its entry keeps its scroll position.
#include <gtest/gtest.h>
#include <windows.h>
// (needs windows.h first)
#include <commctrl.h>
#include <richedit.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "shell/EntryPanes.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace lexmora {
namespace {

// Writes a dictionary of `entries` and opens it.
std::unique_ptr<TADict> OpenDictionary(const test::TempDir& dir, const std::string& name,
                                       const std::vector<std::wstring>& entries) {
  test::WriteBytes(dir.File(name + ".dat"), test::DictionaryBytes(entries));
  return std::make_unique<TADict>(dir.File(name + ".dat"), dir.File(name + ".ind"), false, false,
                                  false);
}

// A long entry, so that the large pane can scroll.
std::wstring LongEntry(const std::wstring& headword) {
  std::wstring entry = headword;
  for (int line = 0; line < 60; ++line)
    entry += L"\r\nline " + std::to_wstring(line);
  return entry;
}

// Five panes on a window, the large one in the middle, each counting the rich text streamed in.
class PaneWindow : public TForm {
 public:
  PaneWindow() {
    CreateEmpty();
    SetBounds(0, 0, 400, 300);
    const int tops[5] = {0, 20, 40, 240, 260};
    for (int k = 0; k < 5; ++k) {
      panes[k].Create(Handle(), k == 2 ? WS_VSCROLL : 0, 0, tops[k], 380, k == 2 ? 190 : 17);
      SetWindowSubclass(panes[k].Handle(), Count, 1, reinterpret_cast<DWORD_PTR>(&loads[k]));
    }
    Show();
  }
  ~PaneWindow() override {
    for (TRichEdit& pane : panes)
      RemoveWindowSubclass(pane.Handle(), Count, 1);
    DestroyHandle();
  }
  // The panes loaded since the last call, top to bottom, as "01234".
  std::string Loaded() {
    std::string which;
    for (int k = 0; k < 5; ++k) {
      if (loads[k] > 0)
        which += static_cast<char>('0' + k);
      loads[k] = 0;
    }
    return which;
  }

  std::array<TRichEdit, 5> panes;
  std::array<int, 5> loads{};

 private:
  static LRESULT CALLBACK Count(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR count) {
    if (msg == EM_STREAMIN)
      ++*reinterpret_cast<int*>(count);
    return DefSubclassProc(wnd, msg, wParam, lParam);
  }
};

TEST(EntryPanes, APaneIsLoadedAgainOnlyWhenWhatItShowsChanges) {
  test::TempDir dir;
  const std::vector<std::wstring> entries = {L"apple", L"banana", L"cherry", LongEntry(L"date"),
                                             L"elder", L"fig",    L"grape"};
  std::unique_ptr<TADict> dict = OpenDictionary(dir, "first", entries);
  std::vector<std::wstring> changed = entries;
  changed[3] = L"date\r\nanother meaning";
  std::unique_ptr<TADict> other = OpenDictionary(dir, "other", changed);
  std::unique_ptr<TADict> same = OpenDictionary(dir, "same", entries);

  PaneWindow window;
  TEntryPanes panes(window.panes[2],
                    {&window.panes[0], &window.panes[1], &window.panes[3], &window.panes[4]});
  const TFontSpec font{"Arial", 8};
  panes.SetFont(font, 96);
  TADict* shown = dict.get();
  // Entry 3 shown again after the font is set.
  const auto inFont = [&](const TFontSpec& font, int dpi) -> std::function<void()> {
    return [&panes, &shown, font, dpi] {
      panes.SetFont(font, dpi);
      panes.ShowEntryAt(*shown, 3);
    };
  };
  const struct {
    const char* action;
    std::function<void()> act;
    const char* loaded;
  } steps[] = {
      {"the first entry shown", [&] { panes.ShowEntryAt(*shown, 3); }, "01234"},
      {"the same entry again", [&] { panes.ShowEntryAt(*shown, 3); }, ""},
      {"words highlighted",
       [&] {
         panes.Show(*shown, 3, {{0, 4}}, NeighboursOf(3));
       },
       "2"},
      {"other words highlighted",
       [&] {
         panes.Show(*shown, 3, {{6, 4}}, NeighboursOf(3));
       },
       "2"},
      {"no words highlighted", [&] { panes.ShowEntryAt(*shown, 3); }, "2"},
      {"previews of other entries",
       [&] {
         panes.Show(*shown, 3, {}, {0, 1, 4, kNoEntry});
       },
       "014"},
      {"the next entry", [&] { panes.ShowEntryAt(*shown, 4); }, "01234"},
      {"the entry before it", [&] { panes.ShowEntryAt(*shown, 3); }, "01234"},
      {"another size", inFont({"Arial", 10}, 96), "01234"},
      {"another font", inFont({"Tahoma", 10}, 96), "01234"},
      {"another DPI", inFont({"Tahoma", 10}, 144), "01234"},
      {"the font set again", inFont({"Tahoma", 10}, 144), ""},
      {"another dictionary, the entry's text changed",
       [&] {
         shown = other.get();
         panes.ShowEntryAt(*shown, 3);
       },
       "2"},
      {"another dictionary object with the same texts",
       [&] {
         shown = same.get();
         panes.ShowEntryAt(*shown, 3);
       },
       "2"},
      {"its entry again", [&] { panes.ShowEntryAt(*shown, 3); }, ""},
      {"the panes emptied", [&] { panes.Clear(); }, "01234"},
      {"emptied again", [&] { panes.Clear(); }, ""},
      {"an entry outside the dictionary", [&] { panes.ShowEntryAt(*shown, 9); }, "01234"},
  };
  for (const auto& step : steps) {
    window.Loaded();
    step.act();
    EXPECT_EQ(window.Loaded(), step.loaded) << step.action;
  }
  EXPECT_EQ(window.panes[2].Tag, 9);
  EXPECT_EQ(window.panes[0].Tag, 7);
}

// A reader scrolling a long entry while the lookup keeps showing it stays where they scrolled to;
// another entry starts at its top.
TEST(EntryPanes, TheLargePaneKeepsItsScrollPositionWhileItsEntryStays) {
  test::TempDir dir;
  std::unique_ptr<TADict> dict =
      OpenDictionary(dir, "long", {L"apple", LongEntry(L"banana"), LongEntry(L"cherry")});
  PaneWindow window;
  TEntryPanes panes(window.panes[2],
                    {&window.panes[0], &window.panes[1], &window.panes[3], &window.panes[4]});
  panes.SetFont({"Arial", 8}, 96);
  const HWND meaning = window.panes[2].Handle();
  const auto firstVisibleLine = [meaning] {
    return static_cast<int>(SendMessageW(meaning, EM_GETFIRSTVISIBLELINE, 0, 0));
  };
  panes.ShowEntryAt(*dict, 1);
  SendMessageW(meaning, EM_LINESCROLL, 0, 20);
  ASSERT_GT(firstVisibleLine(), 0) << "the entry does not scroll";
  const int scrolled = firstVisibleLine();
  panes.ShowEntryAt(*dict, 1);
  EXPECT_EQ(firstVisibleLine(), scrolled) << "the same entry";
  panes.ShowEntryAt(*dict, 2);
  EXPECT_EQ(firstVisibleLine(), 0) << "another entry";
}

}  // namespace
}  // namespace lexmora
