#pragma once
// Filling the main window's five rich-text panes, in one place: the large pane shows one entry in
// full, its matched words highlighted, and the four one-line previews show other entries cut
// short. Each pane's Tag names the entry it shows, which a click on a preview leads to; a pane
// emptied leads nowhere (kNoEntry).
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/ARtfDisplayU.h"
#include "store/ADictU.h"
#include "ui/Dialogs.h"
#include "ui/RichEdit.h"

namespace lexmora {

// A preview shows the first kPreviewChars characters of its entry, then kPreviewTail; an entry
// outside the dictionary shows the tail alone. The length is the panes' own choice: the store's
// search key (dict_format::kKeyChars) has the same length, but it is part of the files' format,
// and neither follows the other.
inline constexpr int32_t kPreviewChars = 50;
inline constexpr wchar_t kPreviewTail[] = L" ...";
// The Tag of a pane that leads to no entry.
inline constexpr int32_t kNoEntry = -1;
inline constexpr size_t kPreviewPaneCount = 4;
// The entries of the four previews, top to bottom: two above the large pane, two below.
using PreviewEntries = std::array<int32_t, kPreviewPaneCount>;

// The previews of entry `entry` in the dictionary's order: entry-2, entry-1, entry+1, entry+2
// (kNoEntry where that number is not an int32_t).
PreviewEntries NeighboursOf(int32_t entry);

class TEntryPanes {
 public:
  // `previews` top to bottom, as PreviewEntries. The panes must outlive this object.
  TEntryPanes(TRichEdit& meaning, const std::array<TRichEdit*, kPreviewPaneCount>& previews);

  // Entries are drawn with this font from the next showing on; what the panes show stays.
  void SetFont(const TFontSpec& font);

  // Shows entry `entry` of `dict` in the large pane with `marks` highlighted and previews[k] in
  // preview k, sets each pane's Tag to its entry and puts the large pane's caret at its start.
  // Raises what reading the dictionary or loading a pane raises.
  void Show(TADict& dict, int32_t entry, const std::vector<RtfMark>& marks,
            const PreviewEntries& previews);
  // Entry `entry` without marks, and its neighbours in the dictionary as previews.
  void ShowEntryAt(TADict& dict, int32_t entry);
  // Empties all five panes; none leads anywhere.
  void Clear();

  // One pane's step of Show: the large pane's entry (its Tag) in full with `marks`, or a
  // preview's entry cut short.
  void LoadEntry(TRichEdit& pane, TADict& dict, const std::vector<RtfMark>& marks = {});
  void LoadPreview(TRichEdit& pane, TADict& dict);

 private:
  TRichEdit& meaning_;
  std::array<TRichEdit*, kPreviewPaneCount> previews_;
  TFontSpec font_;
};

}  // namespace lexmora
