#include <map>

#include "base/Errors.h"
#include "base/Text.h"
#include "import/Markup.h"
#include "import/Readers.h"
#include "import/SourceFiles.h"

namespace lexmora::import {

namespace {

uint32_t Be32(std::string_view b, size_t at) {
  auto u = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])); };
  return u(0) << 24 | u(1) << 16 | u(2) << 8 | u(3);
}

struct Info {
  std::map<std::string, std::string> values;
  std::string Get(const std::string& key) const {
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
  }
};

Info ReadInfo(const std::wstring& path) {
  const std::string text = ReadWholeFile(path);
  const std::string file = PathText(path);
  size_t at = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  Info info;
  bool first = true;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos)
      end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (first) {
      if (line != "StarDict's dict ifo file")
        throw EImportError(file + ": not a StarDict information file (its first line is wrong)");
      first = false;
      continue;
    }
    const size_t equals = line.find('=');
    if (equals != std::string::npos)
      info.values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  if (first)
    throw EImportError(file + ": the file is empty");
  return info;
}

// A whole decimal number from the information file, or raises.
uint64_t InfoNumber(const Info& info, const std::string& key, const std::string& file,
                    bool required, uint64_t fallback = 0) {
  const std::string text = info.Get(key);
  if (text.empty()) {
    if (required)
      throw EImportError(file + ": the required value \"" + key + "\" is missing");
    return fallback;
  }
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || value > (UINT64_MAX - 9) / 10)
      throw EImportError(file + ": \"" + key + "=" + text + "\" is not a number");
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

struct IndexEntry {
  std::string_view word;
  uint64_t offset;
  uint32_t size;
};

class DefinitionReader {
 public:
  DefinitionReader(std::string sequence, std::string dataFile, std::vector<std::string>& notes)
      : sequence_(std::move(sequence)), dataFile_(std::move(dataFile)), notes_(notes) {}

  ~DefinitionReader() = default;

  // The plain text of the fields of one entry's data.
  std::wstring Read(std::string_view data, const std::string& where) {
    std::wstring text;
    if (!sequence_.empty()) {
      for (size_t i = 0; i < sequence_.size(); ++i)
        data = Field(sequence_[i], data, i + 1 == sequence_.size(), where, text);
    } else {
      while (!data.empty()) {
        const char type = data[0];
        data = Field(type, data.substr(1), false, where, text);
      }
    }
    return text;
  }

  void ReportSkipped() {
    for (const auto& [type, count] : skipped_)
      notes_.push_back(Format("%s: %lld fields of type '%c' (not text) were left out",
                              dataFile_.c_str(), static_cast<long long>(count), type));
  }

 private:
  // Takes one field of `type` from the front of `data` and returns the rest; text fields are
  // appended to `text`.
  std::string_view Field(char type, std::string_view data, bool last, const std::string& where,
                         std::wstring& text) {
    std::string_view content;
    if (last) {
      content = data;
      // A text field that is last in its sequence still ends with a zero in some files.
      if (std::islower(static_cast<unsigned char>(type)) && content.ends_with('\0'))
        content.remove_suffix(1);
      data = {};
    } else if (std::islower(static_cast<unsigned char>(type))) {
      const size_t end = data.find('\0');
      if (end == std::string_view::npos)
        throw EImportError(where +
                           Format(": its field of type '%c' has no terminating zero", type));
      content = data.substr(0, end);
      data.remove_prefix(end + 1);
    } else if (std::isupper(static_cast<unsigned char>(type))) {
      if (data.size() < 4)
        throw EImportError(where + Format(": its field of type '%c' is cut short", type));
      const uint32_t size = Be32(data, 0);
      if (size > data.size() - 4)
        throw EImportError(where + Format(": its field of type '%c' (%u bytes) runs past the "
                                          "entry's end",
                                          type, size));
      content = data.substr(4, size);
      data.remove_prefix(4 + size);
    } else {
      throw EImportError(where + Format(": unknown field type (byte %u)",
                                        static_cast<unsigned>(static_cast<uint8_t>(type))));
    }
    switch (type) {
      case 'm':
      case 't':
      case 'y':
      case 'h':
      case 'g':
      case 'x': {
        std::wstring field = DecodeUtf8(content, where);
        if (type == 'h')
          field = StripMarkup(field, MarkupKind::Html);
        else if (type == 'g' || type == 'x')
          field = StripMarkup(field, MarkupKind::Lines);
        else if (type == 't')
          field = L"[" + field + L"]";
        if (!text.empty())
          text += L'\n';
        text += field;
        break;
      }
      default:
        ++skipped_[type];
    }
    return data;
  }

  std::string sequence_;
  std::string dataFile_;
  std::vector<std::string>& notes_;
  std::map<char, int64_t> skipped_;
};

}  // namespace

void ReadStarDict(const SourceSet& source, ReadContext& context) {
  const std::string infoFile = PathText(source.primary);
  const std::string indexFile = PathText(source.index);
  const std::string dataFile = PathText(source.data);
  const Info info = ReadInfo(source.primary);
  const uint64_t wordCount = InfoNumber(info, "wordcount", infoFile, true);
  const uint64_t indexSize = InfoNumber(info, "idxfilesize", infoFile, true);
  const uint64_t offsetBits = InfoNumber(info, "idxoffsetbits", infoFile, false, 32);
  if (offsetBits != 32 && offsetBits != 64)
    throw EImportError(infoFile + ": idxoffsetbits must be 32 or 64");
  const std::string sequence = info.Get("sametypesequence");
  for (char c : sequence) {
    if (!std::isalpha(static_cast<unsigned char>(c)))
      throw EImportError(infoFile + ": sametypesequence \"" + sequence +
                         "\" is not a list of "
                         "field types");
  }
  context.title = DecodeUtf8(info.Get("bookname"), infoFile + ": bookname");

  const std::string index = ReadSourceData(source.index);
  if (index.size() != indexSize)
    throw EImportError(
        Format("%s holds %llu bytes but %s gives idxfilesize=%llu: the files do not "
               "belong together or one is truncated",
               indexFile.c_str(), index.size(), infoFile.c_str(),
               static_cast<unsigned long long>(indexSize)));
  if (context.progress)
    context.progress("Reading " + dataFile, 0, 0);
  const std::string data = ReadSourceData(source.data);

  const size_t numberBytes = offsetBits / 8 + 4;
  std::vector<IndexEntry> entries;
  entries.reserve(static_cast<size_t>(std::min<uint64_t>(wordCount, index.size() / 9 + 1)));
  for (size_t at = 0; at < index.size();) {
    const size_t end = index.find('\0', at);
    const std::string where = Format("%s, entry %llu", indexFile.c_str(), entries.size() + 1);
    if (end == std::string::npos || index.size() - end - 1 < numberBytes)
      throw EImportError(where + ": the file ends inside the entry");
    IndexEntry e{std::string_view(index).substr(at, end - at), 0, 0};
    e.offset = offsetBits == 64 ? uint64_t{Be32(index, end + 1)} << 32 | Be32(index, end + 5)
                                : Be32(index, end + 1);
    e.size = Be32(index, end + 1 + numberBytes - 4);
    if (e.offset > data.size() || e.size > data.size() - e.offset)
      throw EImportError(Format(
          "%s (\"%s\"): its data (bytes %llu to %llu) lies beyond the end "
          "of %s (%llu bytes)",
          where.c_str(), ToUtf8(DecodeUtf8(e.word, where)).c_str(),
          static_cast<unsigned long long>(e.offset),
          static_cast<unsigned long long>(e.offset + e.size), dataFile.c_str(), data.size()));
    entries.push_back(e);
    at = end + 1 + numberBytes;
  }
  if (entries.size() != wordCount)
    throw EImportError(Format("%s holds %llu entries but %s gives wordcount=%llu",
                              indexFile.c_str(), entries.size(), infoFile.c_str(),
                              static_cast<unsigned long long>(wordCount)));

  DefinitionReader reader(sequence, dataFile, context.notes);
  std::vector<std::wstring> headwords(entries.size());
  std::vector<std::wstring> meanings(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string where = Format("%s, entry %llu", indexFile.c_str(), i + 1);
    headwords[i] = DecodeUtf8(entries[i].word, where);
    meanings[i] =
        reader.Read(std::string_view(data).substr(entries[i].offset, entries[i].size),
                    dataFile + ": the data of \"" + ToUtf8(headwords[i]) + "\" (" + where + ")");
    context.Add(headwords[i], meanings[i]);
    if (context.progress && i % 8192 == 8191)
      context.progress("Reading " + dataFile, static_cast<int64_t>(i),
                       static_cast<int64_t>(entries.size()));
  }
  reader.ReportSkipped();

  if (source.synonyms.empty())
    return;
  // A synonym becomes an entry of its own: the word it stands for, then that word's meaning.
  const std::string synFile = PathText(source.synonyms);
  const std::string synonyms = ReadSourceData(source.synonyms);
  size_t count = 0;
  for (size_t at = 0; at < synonyms.size();) {
    const size_t end = synonyms.find('\0', at);
    const std::string where = Format("%s, entry %llu", synFile.c_str(), count + 1);
    if (end == std::string::npos || synonyms.size() - end - 1 < 4)
      throw EImportError(where + ": the file ends inside the entry");
    const std::wstring word = DecodeUtf8(std::string_view(synonyms).substr(at, end - at), where);
    const uint32_t target = Be32(synonyms, end + 1);
    if (target >= entries.size())
      throw EImportError(Format("%s (\"%s\"): it refers to entry %llu of %s, which holds %llu",
                                where.c_str(), ToUtf8(word).c_str(),
                                static_cast<unsigned long long>(target) + 1, indexFile.c_str(),
                                entries.size()));
    if (word != headwords[target])
      context.Add(word, headwords[target] + L"\n" + meanings[target]);
    ++count;
    at = end + 5;
  }
  const uint64_t synCount = InfoNumber(info, "synwordcount", infoFile, false, count);
  if (synCount != count)
    throw EImportError(Format("%s holds %llu entries but %s gives synwordcount=%llu",
                              synFile.c_str(), count, infoFile.c_str(),
                              static_cast<unsigned long long>(synCount)));
}

}  // namespace lexmora::import
