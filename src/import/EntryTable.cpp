#include "import/EntryTable.h"

#include <algorithm>
#include <functional>

#include "store/DictFormat.h"

namespace lexmora::import {

namespace {

constexpr size_t kArenaBlockBytes = size_t{16} << 20;
// A merged meaning this long or longer gets its lines indexed; a shorter one is searched.
constexpr size_t kIndexedMeaningBytes = 1024;
// A meaning this long or longer is held once for all the entries that have it.
constexpr size_t kSharedMeaningBytes = 1024;
constexpr size_t kFirstSlots = 1024;

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\u00A0' || c == L'\u3000';
}

std::wstring_view Trim(std::wstring_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

// One UTF-16 code unit as one to three bytes at `out`: UTF-8 for the Basic Multilingual Plane,
// and each half of a surrogate pair on its own, so that any sequence of units comes back as it
// was. Returns the end of what it wrote.
char* PutUnit(char* out, wchar_t c) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | c >> 6);
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xE0 | c >> 12);
    *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

// The first CR or LF of `text` from `start` on, or its size.
size_t LineBreak(std::wstring_view text, size_t start) {
  while (start < text.size() && text[start] != L'\r' && text[start] != L'\n')
    ++start;
  return start;
}

uint32_t Hash32(std::string_view text) {
  const uint64_t h = std::hash<std::string_view>{}(text);
  return static_cast<uint32_t>(h ^ h >> 32);
}

uint64_t LineHash(std::string_view line) {
  return std::hash<std::string_view>{}(line);
}

// Calls `line` with the start and the text of each '\n'-ended line of `text`.
template <typename Line>
void ForEachLine(std::string_view text, Line&& line) {
  for (size_t start = 0;;) {
    const size_t end = text.find('\n', start);
    line(start, text.substr(start, end - start));
    if (end == std::string_view::npos)
      return;
    start = end + 1;
  }
}

}  // namespace

TextArena::Place TextArena::Append(std::initializer_list<std::string_view> parts) {
  size_t length = 0;
  for (const std::string_view part : parts)
    length += part.size();
  if (blocks_.empty() || capacity_ - used_ < length) {
    capacity_ = std::max(kArenaBlockBytes, length);
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(capacity_));
    used_ = 0;
  }
  const Place place{static_cast<uint32_t>(blocks_.size() - 1), static_cast<uint32_t>(used_)};
  for (const std::string_view part : parts) {
    std::copy(part.begin(), part.end(), blocks_.back().get() + used_);
    used_ += part.size();
  }
  return place;
}

int64_t EntryTable::CleanHeadword(std::wstring_view text) {
  // Room for three bytes a unit, written through a pointer, cut to size at the end.
  headword_.resize(text.size() * 3);
  char* const begin = headword_.data();
  char* out = begin;
  int64_t units = 0;
  for (wchar_t c : Trim(text)) {
    if (c == dict_format::kEntrySeparator) {
      ++separatorsReplaced;
      c = kSeparatorReplacement;
    } else if (c < 0x20 || c == 0x7F || c == 0xFEFF) {
      c = L' ';  // a headword is one line
    }
    if (c == L' ' && (out == begin || out[-1] == ' '))
      continue;
    out = PutUnit(out, c);
    ++units;
  }
  while (out != begin && out[-1] == ' ') {
    --out;
    --units;
  }
  headword_.resize(static_cast<size_t>(out - begin));
  return units;
}

int64_t EntryTable::CleanMeaning(std::wstring_view text) {
  // A line break of one or two units becomes at most two bytes, a unit at most three.
  meaning_.resize(text.size() * 3 + 2);
  char* const begin = meaning_.data();
  char* out = begin;
  int64_t units = 0;
  bool pendingEmptyLine = false;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = LineBreak(text, start);
    const std::wstring_view line = Trim(text.substr(start, end - start));
    if (line.empty()) {
      pendingEmptyLine = out != begin;  // runs of empty lines become one, none at the ends
    } else {
      if (out != begin) {
        *out++ = '\n';
        units += 2;  // each line ends with CR LF in the file
        if (pendingEmptyLine) {
          *out++ = '\n';
          units += 2;
        }
      }
      pendingEmptyLine = false;
      for (wchar_t c : line) {
        if (c == dict_format::kEntrySeparator) {
          ++separatorsReplaced;
          c = kSeparatorReplacement;
        } else if ((c < 0x20 && c != L'\t') || c == 0x7F || c == 0xFEFF) {
          continue;
        }
        out = PutUnit(out, c);
        ++units;
      }
    }
    if (end < text.size() && text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n')
      ++end;
    start = end + 1;
  }
  meaning_.resize(static_cast<size_t>(out - begin));
  return units;
}

void EntryTable::Add(std::wstring_view headword, std::wstring_view meaning) {
  ++added;
  const int64_t headwordUnits = CleanHeadword(headword);
  if (headword_.empty()) {
    ++withoutHeadword;
    return;
  }
  const int64_t meaningUnits = CleanMeaning(meaning);
  if (meaning_.empty()) {
    ++withoutMeaning;
    return;
  }
  bool inserted = false;
  const uint32_t i = FindOrInsert(Hash32(headword_), inserted);
  if (inserted) {
    textUnits_ += headwordUnits + 2 + meaningUnits;
    return;
  }
  ++merged;
  // The same meaning given twice (a repeated line of a word list, a synonym of itself) is kept
  // once.
  if (HoldsLines(i))
    return;
  AppendMeaning(i);
  textUnits_ += 2 + meaningUnits;
}

uint32_t EntryTable::FindOrInsert(uint32_t hash, bool& inserted) {
  if ((entries_.size() + 1) * 2 > slots_.size())
    Grow();
  const size_t mask = slots_.size() - 1;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    const uint64_t slot = slots_[at];
    if (slot == 0) {
      const auto i = static_cast<uint32_t>(entries_.size());
      entries_.push_back(Store());
      slots_[at] = uint64_t{hash} << 32 | (i + 1);
      inserted = true;
      return i;
    }
    const auto i = static_cast<uint32_t>((slot & UINT32_MAX) - 1);
    if (slot >> 32 == hash && Headword(i) == headword_)
      return i;
  }
}

EntryTable::Entry EntryTable::Store() {
  const auto headwordBytes = static_cast<uint32_t>(headword_.size());
  const auto textBytes = static_cast<uint32_t>(headword_.size() + 1 + meaning_.size());
  if (meaning_.size() < kSharedMeaningBytes)
    return {arena_.Append({headword_, "\n", meaning_}), headwordBytes, textBytes};
  sharing_.push_back({arena_.Append({headword_}), ShareMeaning()});
  return {{kShared, static_cast<uint32_t>(sharing_.size() - 1)}, headwordBytes, textBytes};
}

uint32_t EntryTable::ShareMeaning() {
  const uint64_t hash = LineHash(meaning_);
  const auto [first, last] = sharedByHash_.equal_range(hash);
  for (auto it = first; it != last; ++it) {
    const SharedMeaning& held = sharedMeanings_[it->second];
    if (arena_.View(held.place, held.bytes) == meaning_)
      return it->second;
  }
  sharedMeanings_.push_back({arena_.Append({meaning_}), static_cast<uint32_t>(meaning_.size())});
  const auto number = static_cast<uint32_t>(sharedMeanings_.size() - 1);
  sharedByHash_.emplace(hash, number);
  return number;
}

void EntryTable::Grow() {
  std::vector<uint64_t> slots(std::max(kFirstSlots, slots_.size() * 2), 0);
  const size_t mask = slots.size() - 1;
  for (const uint64_t slot : slots_) {
    if (slot == 0)
      continue;
    size_t at = (slot >> 32) & mask;
    while (slots[at] != 0)
      at = (at + 1) & mask;
    slots[at] = slot;
  }
  slots_ = std::move(slots);
}

std::string_view EntryTable::Headword(size_t i) const {
  const Entry& e = entries_[i];
  if (e.place.block == kMerged)
    return std::string_view(mergedTexts_[e.place.offset]).substr(0, e.headwordBytes);
  if (e.place.block == kShared)
    return arena_.View(sharing_[e.place.offset].headword, e.headwordBytes);
  return arena_.View(e.place, e.headwordBytes);
}

std::string_view EntryTable::Meaning(size_t i) const {
  const Entry& e = entries_[i];
  if (e.place.block == kMerged)
    return std::string_view(mergedTexts_[e.place.offset]).substr(e.headwordBytes + 1);
  if (e.place.block == kShared) {
    const SharedMeaning& held = sharedMeanings_[sharing_[e.place.offset].meaning];
    return arena_.View(held.place, held.bytes);
  }
  return arena_.View(e.place, e.textBytes).substr(e.headwordBytes + 1);
}

bool EntryTable::HoldsLines(uint32_t i) {
  const std::string_view meaning = Meaning(i);
  auto found = indexed_.find(i);
  if (found == indexed_.end()) {
    if (meaning.size() < kIndexedMeaningBytes) {
      for (size_t at = meaning.find(meaning_); at != std::string_view::npos;
           at = meaning.find(meaning_, at + 1)) {
        const size_t end = at + meaning_.size();
        if ((at == 0 || meaning[at - 1] == '\n') && (end == meaning.size() || meaning[end] == '\n'))
          return true;
      }
      return false;
    }
    found = indexed_.try_emplace(i).first;
    ForEachLine(meaning, [&](size_t start, std::string_view line) {
      found->second.starts.push_back(static_cast<uint32_t>(start));
      found->second.runs.Append(LineHash(line));
    });
  }
  const IndexedMeaning& index = found->second;
  std::vector<uint64_t> run;
  ForEachLine(meaning_, [&](size_t, std::string_view line) { run.push_back(LineHash(line)); });
  const auto confirm = [&](size_t first) {
    const size_t start = index.starts[first];
    const size_t next = first + run.size();
    const size_t end = next < index.starts.size() ? index.starts[next] - 1 : meaning.size();
    return meaning.substr(start, end - start) == meaning_;
  };
  return index.runs.Find(run, confirm).has_value();
}

void EntryTable::AppendMeaning(uint32_t i) {
  Entry& e = entries_[i];
  if (e.place.block != kMerged) {
    std::string text(Headword(i));
    text += '\n';
    text += Meaning(i);
    mergedTexts_.push_back(std::move(text));
    e.place = {kMerged, static_cast<uint32_t>(mergedTexts_.size() - 1)};
  }
  std::string& text = mergedTexts_[e.place.offset];
  const size_t offset = text.size() + 1 - (e.headwordBytes + 1);
  text += '\n';
  text += meaning_;
  e.textBytes = static_cast<uint32_t>(text.size());
  const auto found = indexed_.find(i);
  if (found == indexed_.end())
    return;
  ForEachLine(meaning_, [&](size_t start, std::string_view line) {
    found->second.starts.push_back(static_cast<uint32_t>(offset + start));
    found->second.runs.Append(LineHash(line));
  });
}

void EntryTable::EndAdding() {
  // Swapped with new empty ones, which gives their memory back (assigning {} would keep it).
  std::vector<uint64_t>().swap(slots_);
  std::unordered_map<uint32_t, IndexedMeaning>().swap(indexed_);
  std::unordered_multimap<uint64_t, uint32_t>().swap(sharedByHash_);
  std::string().swap(headword_);
  std::string().swap(meaning_);
  entries_.shrink_to_fit();
}

namespace {

// Appends UTF-8 text as EntryTable holds it to `out`, '\n' as CR LF, stopping at `limit` units
// in all.
void AppendUtf8(std::string_view text, std::wstring& out, size_t limit) {
  // At most two units a byte ('\n' becomes CR LF): the room is made once and written through a
  // pointer.
  const size_t start = out.size();
  const size_t room = std::min(limit - std::min(limit, start), 2 * text.size());
  out.resize(start + room);
  wchar_t* w = out.data() + start;
  wchar_t* const end = w + room;
  const auto* p = reinterpret_cast<const uint8_t*>(text.data());
  const uint8_t* const stop = p + text.size();
  while (p < stop && w < end) {
    const uint8_t b = *p;
    if (b < 0x80) {
      if (b == '\n') {
        *w++ = L'\r';
        if (w < end)
          *w++ = L'\n';
      } else {
        *w++ = static_cast<wchar_t>(b);
      }
      ++p;
    } else if (b < 0xE0) {
      *w++ = static_cast<wchar_t>((b & 0x1F) << 6 | (p[1] & 0x3F));
      p += 2;
    } else {
      *w++ = static_cast<wchar_t>((b & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
      p += 3;
    }
  }
  out.resize(static_cast<size_t>(w - out.data()));
}

}  // namespace

void EntryTable::AppendText(size_t i, std::wstring& out, size_t maxUnits) const {
  const size_t limit = maxUnits > SIZE_MAX - out.size() ? SIZE_MAX : out.size() + maxUnits;
  AppendUtf8(Headword(i), out, limit);
  AppendUtf8("\n", out, limit);
  AppendUtf8(Meaning(i), out, limit);
}

std::wstring EntryTable::Text(size_t i) const {
  std::wstring text;
  AppendText(i, text);
  return text;
}

}  // namespace lexmora::import
