#pragma once
// The dictionary chooser: lists the .dat files of the Dictionaries folder, the dictionaries in use
// first, ticked and in their order; the user ticks those to use and puts them in order (the
// arrows beside the check box, Ctrl+Up and Ctrl+Down, or the list's menu), and is offered a
// sorted index for a dictionary that has none yet. Created once, it keeps the check box's state
// and tag between showings. Enter or a double click confirms (OK), Escape or closing cancels.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/CheckListBox.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace lexmora {

class TfmChooseDict : public TForm {
 public:
  TfmChooseDict();

  TCheckListBox lbFiles;
  TPanel pnlBottom;
  TCheckBox chbDoSort;
  TUpDown udMove;

  // The selected dictionary's name; raises EListError(-1) when nothing is selected.
  std::wstring SelectedName() const;
  // True only when the check box is enabled and checked.
  bool SortRequested() const;

  // The dictionaries in use, in order: listed first and ticked at the next showing (those of
  // them that the folder holds).
  void SetInUse(const std::vector<std::wstring>& names);
  // The dictionaries to use after OK, in order. The ticked ones; but the selected one alone when
  // it is not ticked and the ticks are as they were shown (choosing one dictionary as always),
  // or when nothing is ticked. Raises EListError(-1) when nothing is selected.
  std::vector<std::wstring> ChosenNames() const;
  // The ticked names, in the order listed.
  std::vector<std::wstring> TickedNames() const;

  // Ticks or unticks an item; refused, with a beep, beyond kMaxDictsInUse ticks.
  void ToggleTick(int32_t index);
  // Moves the selected item `delta` places up (negative) or down, its tick with it.
  void MoveSelected(int delta);

  void FormShow();
  void lbFilesClick();
  void lbFilesDblClick();
  void lbFilesKeyPress(wchar_t& key);
  void chbDoSortClick();
  // True when the file name ends in ".dat", in any case: the search's pattern also matches longer
  // extensions (".data", ".dat~") and names whose short 8.3 form ends so.
  static bool IsDictionaryFileName(const std::wstring& name);
  // The name without its last "." and what follows; empty when there is no "." or nothing
  // before it.
  static std::wstring StripExtension(const std::wstring& name);

  // The folder searched, with its trailing backslash: the program folder's Dictionaries\.
  const std::wstring& Folder() const noexcept { return folder_; }
  void SetFolder(const std::wstring& folder) { folder_ = folder; }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // The list's menu at `at` (screen coordinates; -1, -1: at the selected item).
  void ShowListMenu(POINT at);

  std::wstring folder_;
  std::vector<std::wstring> inUse_;
  // The ticked names as the last showing listed them.
  std::vector<std::wstring> shownTicks_;
};

}  // namespace lexmora
