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

void TEntryPanes::SetFont(const TFontSpec& font, int dpi) {
  font_ = font;
  dpi_ = dpi;
}

void TEntryPanes::Show(TADict& dict, int32_t entry, const std::vector<RtfMark>& marks,
                       const PreviewEntries& previews) {
  meaning_.Tag = entry;
  ShowPreviews(dict, previews, LoadEntry(meaning_, dict, marks));
}

void TEntryPanes::Show(const std::vector<ShownEntry>& shown, const std::vector<RtfMark>& marks,
                       const PreviewEntries& previews) {
  if (shown.empty())
    return;
  const ShownEntry& first = shown.front();
  if (shown.size() == 1 && first.heading.empty()) {
    Show(*first.dict, first.entry, marks, previews);
    return;
  }
  PaneContent content = ContentOf(Kind::Entries, {}, {});
  for (const ShownEntry& s : shown) {
    content.sections.push_back(
        {s.heading, s.dict->ReadEntry(s.entry, -1), &s == &first ? marks : std::vector<RtfMark>()});
  }
  meaning_.Tag = first.entry;
  ShowPreviews(*first.dict, previews, Load(meaning_, std::move(content)));
}

void TEntryPanes::ShowPreviews(TADict& dict, const PreviewEntries& previews, bool reloaded) {
  for (size_t k = 0; k < kPreviewPaneCount; ++k)
    previews_[k]->Tag = previews[k];
  for (TRichEdit* pane : previews_)
    LoadPreview(*pane, dict);
  if (reloaded)
    meaning_.SetSelection(0, 0);
}

void TEntryPanes::ShowEntryAt(TADict& dict, int32_t entry) {
  Show(dict, entry, {}, NeighboursOf(entry));
}

void TEntryPanes::Clear() {
  PaneContent emptied;
  emptied.kind = Kind::Empty;
  for (TRichEdit* pane : {previews_[0], previews_[1], &meaning_, previews_[2], previews_[3]}) {
    pane->Tag = kNoEntry;
    Load(*pane, emptied);
  }
}

bool TEntryPanes::LoadEntry(TRichEdit& pane, TADict& dict, const std::vector<RtfMark>& marks) {
  return Load(pane, ContentOf(Kind::Entry, dict.ReadEntry(pane.Tag, -1), marks));
}

bool TEntryPanes::LoadPreview(TRichEdit& pane, TADict& dict) {
  return Load(pane,
              ContentOf(Kind::Preview, dict.ReadEntry(pane.Tag, kPreviewChars) + kPreviewTail, {}));
}

TEntryPanes::PaneContent TEntryPanes::ContentOf(Kind kind, std::wstring text,
                                                const std::vector<RtfMark>& marks) const {
  return {kind, std::move(text), marks, font_.name, font_.size, dpi_, {}};
}

bool TEntryPanes::Load(TRichEdit& pane, PaneContent content) {
  std::optional<PaneContent>* loaded = LoadedOf(pane);
  if (loaded != nullptr && *loaded == content)
    return false;
  const std::string rtf = RtfOf(content);
  if (loaded != nullptr)
    loaded->reset();
  LoadRtfIntoPane(rtf, pane.Handle());
  if (loaded != nullptr)
    *loaded = std::move(content);
  return true;
}

std::string TEntryPanes::RtfOf(const PaneContent& content) {
  switch (content.kind) {
    case Kind::Entry:
      return FormatEntryRtf(content.text, content.fontName, content.fontSize, content.marks);
    case Kind::Entries:
      return FormatEntriesRtf(content.sections, content.fontName, content.fontSize);
    case Kind::Preview:
      return FormatPreviewRtf(content.text, content.fontName, content.fontSize);
    case Kind::Empty:
      break;
  }
  return {};
}

std::optional<TEntryPanes::PaneContent>* TEntryPanes::LoadedOf(const TRichEdit& pane) {
  if (&pane == &meaning_)
    return &loaded_[0];
  for (size_t k = 0; k < kPreviewPaneCount; ++k) {
    if (&pane == previews_[k])
      return &loaded_[k + 1];
  }
  return nullptr;
}

}  // namespace lexmora
