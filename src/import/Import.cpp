#include "import/Import.h"

#include <windows.h>

#include "base/Text.h"
#include "import/DictionaryWriter.h"
#include "import/EntryTable.h"
#include "import/OutputTarget.h"
#include "import/Readers.h"
#include "import/SearchOrder.h"
#include "import/SourceFiles.h"

namespace lexmora::import {

EImportError::EImportError(const std::string& utf8Message) : Exception(FromUtf8(utf8Message)) {}

namespace {

bool EndsWith(const std::wstring& lowerPath, const wchar_t* suffix) {
  return lowerPath.ends_with(suffix);
}

// The first of `base` + each suffix that exists, or "".
std::wstring FirstExisting(const std::wstring& base,
                           std::initializer_list<const wchar_t*> suffixes) {
  for (const wchar_t* suffix : suffixes) {
    if (PathExists(base + suffix))
      return base + suffix;
  }
  return {};
}

SourceSet DictdSet(const std::wstring& name, const std::wstring& base) {
  SourceSet set{SourceFormat::Dictd, name, base + L".index", {}, {}, {}};
  if (!PathExists(set.primary))
    throw EImportError("\"" + PathText(name) + "\": the dictd index " + PathText(set.primary) +
                       " is missing");
  set.data = FirstExisting(base, {L".dict.dz", L".dict"});
  if (set.data.empty())
    throw EImportError("\"" + PathText(name) + "\": neither " + PathText(base + L".dict.dz") +
                       " nor " + PathText(base + L".dict") + " exists");
  return set;
}

SourceSet StarDictSet(const std::wstring& name, const std::wstring& base) {
  SourceSet set{SourceFormat::StarDict, name, base + L".ifo", {}, {}, {}};
  if (!PathExists(set.primary))
    throw EImportError("\"" + PathText(name) + "\": the StarDict information file " +
                       PathText(set.primary) + " is missing");
  set.index = FirstExisting(base, {L".idx", L".idx.gz"});
  if (set.index.empty())
    throw EImportError("\"" + PathText(name) + "\": neither " + PathText(base + L".idx") + " nor " +
                       PathText(base + L".idx.gz") + " exists");
  set.data = FirstExisting(base, {L".dict.dz", L".dict"});
  if (set.data.empty())
    throw EImportError("\"" + PathText(name) + "\": neither " + PathText(base + L".dict.dz") +
                       " nor " + PathText(base + L".dict") + " exists");
  set.synonyms = FirstExisting(base, {L".syn"});
  return set;
}

std::wstring Strip(const std::wstring& path, size_t suffixLength) {
  return path.substr(0, path.size() - suffixLength);
}

}  // namespace

void ReadContext::Add(std::wstring_view headword, std::wstring_view meaning) {
  entries.Add(headword, meaning);
  const int64_t bytes = UntitledFileBytes(entries);
  if (bytes >= maxOutputBytes)
    throw TooLarge(bytes, maxOutputBytes, true);
}

std::vector<SourceSet> ResolveSources(const std::vector<std::wstring>& paths) {
  std::vector<SourceSet> sets;
  for (const std::wstring& path : paths) {
    if (!PathExists(path))
      throw EImportError("\"" + PathText(path) + "\" does not exist");
    const std::wstring lower = AsciiLower(path);
    SourceSet set;
    if (EndsWith(lower, L".ifo")) {
      set = StarDictSet(path, Strip(path, 4));
    } else if (EndsWith(lower, L".idx") || EndsWith(lower, L".syn")) {
      set = StarDictSet(path, Strip(path, 4));
    } else if (EndsWith(lower, L".idx.gz")) {
      set = StarDictSet(path, Strip(path, 7));
    } else if (EndsWith(lower, L".index")) {
      set = DictdSet(path, Strip(path, 6));
    } else if (EndsWith(lower, L".dict") || EndsWith(lower, L".dict.dz")) {
      const std::wstring base = Strip(path, EndsWith(lower, L".dict") ? 5 : 8);
      if (PathExists(base + L".ifo"))
        set = StarDictSet(path, base);
      else if (PathExists(base + L".index"))
        set = DictdSet(path, base);
      else
        throw EImportError("\"" + PathText(path) + "\": found neither " +
                           PathText(base + L".index") + " (dictd) nor " + PathText(base + L".ifo") +
                           " (StarDict) beside it");
    } else if (EndsWith(lower, L".dz") || EndsWith(lower, L".gz")) {
      throw EImportError("\"" + PathText(path) +
                         "\": a compressed file of no known dictionary "
                         "format (name it NAME.dict.dz or NAME.idx.gz)");
    } else {
      set = SourceSet{SourceFormat::TabText, path, path, {}, {}, {}};
    }
    // Naming two files of one dictionary, or one file two ways, gives it once.
    const std::optional<FileIdentity> identity = IdentityOf(set.primary);
    bool duplicate = false;
    for (const SourceSet& other : sets)
      duplicate = duplicate ||
                  (other.format == set.format && identity && IdentityOf(other.primary) == identity);
    if (!duplicate)
      sets.push_back(std::move(set));
  }
  return sets;
}

ImportResult ImportDictionary(const ImportOptions& options) {
  if (options.sources.empty())
    throw EImportError("No source dictionary given");
  if (!AsciiLower(options.output).ends_with(L".dat") || options.output.size() < 5)
    throw EImportError("The output \"" + PathText(options.output) +
                       "\" must be a file name ending in .dat");
  const std::vector<SourceSet> sets = ResolveSources(options.sources);
  OutputTarget target(options.output, sets);

  ImportResult result;
  EntryTable entries;
  for (const SourceSet& set : sets) {
    ReadContext context{entries, result.notes, options.progress, {}, options.maxOutputBytes};
    switch (set.format) {
      case SourceFormat::TabText:
        ReadTabText(set, context);
        break;
      case SourceFormat::Dictd:
        ReadDictd(set, context);
        break;
      case SourceFormat::StarDict:
        ReadStarDict(set, context);
        break;
    }
    if (result.title.empty())
      result.title = context.title;
  }
  entries.EndAdding();
  if (options.title)
    result.title = *options.title;
  if (entries.Size() == 0)
    throw EImportError("The sources hold no entries with a headword and a meaning");

  if (entries.withoutHeadword > 0)
    result.notes.push_back(Format("%lld entries without a headword were left out",
                                  static_cast<long long>(entries.withoutHeadword)));
  if (entries.withoutMeaning > 0)
    result.notes.push_back(Format("%lld entries without any text meaning were left out",
                                  static_cast<long long>(entries.withoutMeaning)));
  if (entries.separatorsReplaced > 0)
    result.notes.push_back(
        Format("%lld middle dots (U+00B7) in the text were replaced by bullets "
               "(U+2022): the middle dot separates entries",
               static_cast<long long>(entries.separatorsReplaced)));

  std::vector<uint32_t> order;
  if (options.sort) {
    if (options.progress)
      options.progress("Sorting", 0, 0);
    order = options.sortByComparisonOnly ? SearchOrderByComparison(entries) : SearchOrder(entries);
  } else {
    order.resize(entries.Size());
    for (size_t i = 0; i < order.size(); ++i)
      order[i] = static_cast<uint32_t>(i);
  }
  result.outputBytes = WriteDictionaryFile(target, result.title, entries, order,
                                           options.maxOutputBytes, options.progress);
  result.entriesRead = entries.added;
  result.entriesMerged = entries.merged;
  result.entriesWritten = static_cast<int64_t>(entries.Size());

  if (options.progress)
    options.progress("Indexing", 0, 0);
  std::string note;
  result.indexWritten = WriteFreshIndex(target, entries.Size(), note);
  if (!result.indexWritten)
    result.notes.push_back(note);
  return result;
}

}  // namespace lexmora::import
