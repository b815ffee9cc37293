#include "shell/EntryPanes.h"

#include <limits>

namespace lexmora {

PreviewEntries NeighboursOf(int32_t entry) {
  PreviewEntries entries{};
  const int offsets[kPreviewPaneCount] = {-2, -1, 1, 2};
  for (size_t k = 0; k < kPreviewPaneCount; ++k) {
    const int64_t at = int64_t{entry} + offsets[k];
    const bool representable =
        at >= std::numeric_limits<int32_t>::min() && at <= std::numeric_limits<int32_t>::max();
    entries[k] = representable ? static_cast<int32_t>(at) : kNoEntry;
  }
  return entries;
}

TEntryPanes::TEntryPanes(TRichEdit& meaning,
                         const std::array<TRichEdit*, kPreviewPaneCount>& previews)
    : meaning_(meaning), previews_(previews) {}

void TEntryPanes::SetFont(const TFontSpec& font) {
  font_ = font;
}

void TEntryPanes::Show(TADict& dict, int32_t entry, const std::vector<RtfMark>& marks,
                       const PreviewEntries& previews) {
  meaning_.Tag = entry;
  LoadEntry(meaning_, dict, marks);
  for (size_t k = 0; k < kPreviewPaneCount; ++k)
    previews_[k]->Tag = previews[k];
  for (TRichEdit* pane : previews_)
    LoadPreview(*pane, dict);
  meaning_.SetSelection(0, 0);
}

void TEntryPanes::ShowEntryAt(TADict& dict, int32_t entry) {
  Show(dict, entry, {}, NeighboursOf(entry));
}

void TEntryPanes::Clear() {
  for (TRichEdit* pane : {previews_[0], previews_[1], &meaning_, previews_[2], previews_[3]}) {
    pane->Tag = kNoEntry;
    LoadRtfIntoPane("", pane->Handle());
  }
}

void TEntryPanes::LoadEntry(TRichEdit& pane, TADict& dict, const std::vector<RtfMark>& marks) {
  const std::wstring text = dict.ReadEntry(pane.Tag, -1);
  LoadRtfIntoPane(FormatEntryRtf(text, font_.name, font_.size, marks), pane.Handle());
}

void TEntryPanes::LoadPreview(TRichEdit& pane, TADict& dict) {
  const std::wstring text = dict.ReadEntry(pane.Tag, kPreviewChars) + kPreviewTail;
  LoadRtfIntoPane(FormatPreviewRtf(text, font_.name, font_.size), pane.Handle());
}

}  // namespace lexmora
