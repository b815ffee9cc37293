#pragma once
// The dictionary chooser: lists the .dat files of the Dictionaries folder and offers a sorted
// index for a dictionary that has none yet. Created once, it keeps the check box's state and tag
// between showings. Enter or a double click confirms (OK), Escape or closing cancels.
#include <string>

#include "ui/Controls.h"
#include "ui/Form.h"

namespace lexmora {

class TfmChooseDict : public TForm {
 public:
  TfmChooseDict();

  TListBox lbFiles;
  TPanel pnlBottom;
  TCheckBox chbDoSort;

  // The selected dictionary's name; raises EListError(-1) when nothing is selected.
  std::wstring SelectedName() const;
  // True only when the check box is enabled and checked.
  bool SortRequested() const;

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

 private:
  std::wstring folder_;
};

}  // namespace lexmora
