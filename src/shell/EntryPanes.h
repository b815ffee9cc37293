#pragma once
// Filling the main window's five rich-text panes, in one place: the large pane shows one entry in
// full, its matched words highlighted, and the four one-line previews show other entries cut
// short. Each pane's Tag names the entry it shows, which a click on a preview leads to; a pane
// emptied leads nowhere (kNoEntry).
//
// A pane is loaded again only when what it would show changes: the text read, the highlighted
// words, the font, its size or the DPI it is drawn at. So a pane that keeps its entry keeps its
// scroll position and is not repainted, whichever dictionary object the entry came from.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "render/ARtfDisplayU.h"
#include "shell/DictsInUse.h"
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

  // Entries are drawn with this font (name and size) at `dpi` from the next showing on; what
  // the panes show stays until then.
  void SetFont(const TFontSpec& font, int dpi);

  // Shows entry `entry` of `dict` in the large pane with `marks` highlighted and previews[k] in
  // preview k, and sets each pane's Tag to its entry. The large pane's caret goes to its start
  // when the pane is loaded again. Raises what reading the dictionary or loading a pane raises;
  // a pane whose load failed is loaded again at the next showing.
  void Show(TADict& dict, int32_t entry, const std::vector<RtfMark>& marks,
            const PreviewEntries& previews);
  // Entry `entry` without marks, and its neighbours in the dictionary as previews.
  void ShowEntryAt(TADict& dict, int32_t entry);
  // As Show, with several dictionaries in use: the large pane shows the entries of `shown` one
  // below the other, each under its heading, the first (whose place is the pane's Tag) with
  // `marks`; the previews show previews[k] of the first's dictionary. One entry without a
  // heading is shown as Show shows it.
  void Show(const std::vector<ShownEntry>& shown, const std::vector<RtfMark>& marks,
            const PreviewEntries& previews);
  // Empties all five panes; none leads anywhere.
  void Clear();

  // One pane's step of Show: the large pane's entry (its Tag) in full with `marks`, or a
  // preview's entry cut short. True when the pane was loaded, false when it already showed that.
  bool LoadEntry(TRichEdit& pane, TADict& dict, const std::vector<RtfMark>& marks = {});
  bool LoadPreview(TRichEdit& pane, TADict& dict);

 private:
  // An entry in full, an entry cut short, or nothing (an emptied pane).
  enum class Kind { Entry, Entries, Preview, Empty };
  // What goes into a pane's rich text, and the DPI it is drawn at.
  struct PaneContent {
    Kind kind = Kind::Entry;
    std::wstring text;
    std::vector<RtfMark> marks;
    std::string fontName;
    int32_t fontSize = 0;
    int dpi = 0;
    // The entries of several dictionaries, each under its heading (Kind::Entries).
    std::vector<RtfSection> sections;
    bool operator==(const PaneContent&) const = default;
  };
  PaneContent ContentOf(Kind kind, std::wstring text, const std::vector<RtfMark>& marks) const;
  static std::string RtfOf(const PaneContent& content);
  // The previews' part of a showing: previews[k] of `dict` in preview k, and the large pane's
  // caret to its start when it was `reloaded`.
  void ShowPreviews(TADict& dict, const PreviewEntries& previews, bool reloaded);
  // Loads `content` into `pane` unless the pane shows it already; true when it loaded.
  bool Load(TRichEdit& pane, PaneContent content);
  // What `pane` shows, when known; nothing for a pane that is not one of the five.
  std::optional<PaneContent>* LoadedOf(const TRichEdit& pane);

  TRichEdit& meaning_;
  std::array<TRichEdit*, kPreviewPaneCount> previews_;
  TFontSpec font_;
  int dpi_ = 0;
  // What the large pane and each preview (in that order) were last loaded with; nothing until
  // loaded, and while a load has not ended well.
  std::array<std::optional<PaneContent>, 1 + kPreviewPaneCount> loaded_;
};

}  // namespace lexmora
