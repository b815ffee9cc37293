#pragma once
// Words as they stand in a text, in the main window's headword lookup: the languages of word
// forms (Morphology\ beside the program), loaded on a thread of their own so that the window
// opens without waiting; the languages of the open dictionary, kept per user (KeptLanguages.h)
// or found once all languages are loaded; the lookup step of WordLookup.h at every lookup; and
// the line in the strip below the tool bar that names the dictionary forms a form leads to, or,
// after a pause in typing (or on Enter), the headwords that may have been meant.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../resources/MainIds.h"
#include "morph/Morphology.h"
#include "shell/FormsLine.h"
#include "shell/KeptLanguages.h"
#include "store/ADictU.h"
#include "store/WordLookup.h"
#include "ui/Controls.h"

namespace lexmora {

// What the word forms need from the window they serve.
class TWordFormsHost {
 public:
  // The window that holds the line and gets the messages of this unit (which it hands to
  // TWordForms::HandleMessage).
  virtual HWND HostWindow() const = 0;
  virtual int WindowScale(int designed) const = 0;
  // The dictionaries in use, in order (none while none is open; DictionaryAt is null past the
  // last), and their names (the registry keys of their languages).
  virtual size_t DictionaryCount() = 0;
  virtual TADict* DictionaryAt(size_t k) = 0;
  virtual std::wstring DictionaryNameAt(size_t k) const = 0;
  // The dictionary that leads the lookup shown; null while none is open.
  virtual TADict* LeadDictionary() = 0;
  // The search text, and whether the search box looks up headwords now (not searching inside
  // the entries).
  virtual std::wstring SearchText() const = 0;
  virtual bool LookingUpHeadwords() const = 0;
  // Shows entry `entry` and its neighbours.
  virtual void ShowEntry(int32_t entry) = 0;
  // The line came or went: the window makes room for it.
  virtual void StripChanged() = 0;

 protected:
  ~TWordFormsHost() = default;
};

class TWordForms {
 public:
  // The window's timer and messages that this unit uses; the window hands them to
  // HandleMessage.
  static constexpr UINT_PTR kSuggestTimer = 0x5E4D;
  static constexpr UINT kLoadedMessage = WM_APP + 0x5E5;
  static constexpr UINT kSuggestedMessage = WM_APP + 0x5E6;
  // Answered with how many languages the window has taken in, and how many there are.
  static constexpr UINT kLanguagesMessage = WM_LEXMORA_LANGUAGES;
  // How long typing must pause before spelling suggestions are looked for.
  static constexpr UINT kSuggestPauseMs = 700;
  // How long after a lookup whose language was busy it is made again.
  static constexpr UINT kRetryMs = 50;

  // The languages of `morphologyFolder`, not loaded yet.
  TWordForms(TWordFormsHost& host, std::wstring morphologyFolder);
  ~TWordForms();
  TWordForms(const TWordForms&) = delete;
  TWordForms& operator=(const TWordForms&) = delete;

  // Creates the line, hidden, as a child of the window (where its tab order should be).
  void CreateControls(int id);
  // Starts loading the languages on a thread; each one loaded is told to the window.
  void StartLoading();

  // The entry to show for the search text `typed`, by the lookup step; sets the line, and the
  // timer of the spelling suggestions when the text finds nothing.
  int32_t LookUp(const std::wstring& typed);
  // Enter: spelling suggestions at once, when the text finds nothing.
  void SuggestNow();
  // The window shows entry `entry` by other means (a preview clicked): a form leading to it
  // becomes plain, the others links.
  void EntryShown(int32_t entry);
  // The line says nothing (searching inside the entries, an empty box).
  void ClearLine();

  // The window opened its dictionaries: each gets its kept languages now, or those found for it
  // once every language is loaded. Raises ERegistryException when languages found cannot be kept.
  void DictionaryOpened();
  // The window is about to let its dictionaries go.
  void DictionaryClosing();

  // The languages at hand, and those of the dictionary that leads the lookup (empty names while
  // they are not known yet, or for none).
  Morphology& Languages() noexcept { return *morphology_; }
  KeptLanguages DictionaryLanguages();
  // The languages at hand as the options offer them: each one's name, and why it cannot be used
  // now (off, or still loading).
  std::vector<LanguageOffer> OfferedLanguages() const;
  // The user chose the languages of the dictionary that leads the lookup: they are kept and used
  // at once.
  // Raises ERegistryException when they cannot be kept.
  void ChooseLanguages(const std::wstring& headwords, const std::wstring& meanings);

  // The strip: its height (0 while the line says nothing), and placing it.
  int StripHeight() const;
  void PlaceStrip(int left, int top, int width);
  // The timer, the messages of this unit and the line's colours; true when the message was one
  // of them, with `result` its result.
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  TSysLink lnkForms;
  // What the line shows, for tests.
  const FormsLine& Line() const noexcept { return line_; }

 private:
  class Suggester;
  void LanguageLoaded();
  bool AllLoaded() const;
  void UseLanguages(TADict& dict, const KeptLanguages& languages);
  std::wstring LanguageStampOf(const TADict& dict) const;
  void SetLine(FormsLine line);
  void LinkClicked(int link);
  void Suggest();
  void SuggestionsArrived(uint32_t request);
  void LookUpAgain();

  TWordFormsHost& host_;
  std::unique_ptr<Morphology> morphology_;
  std::unique_ptr<Suggester> suggester_;
  // False until the languages of every dictionary in use are known.
  bool known_ = false;
  // The loads told to the window so far (one per language, loaded or turned off).
  size_t loadsTaken_ = 0;
  // The last lookup and its text.
  std::wstring typed_;
  WordLookup lookup_;
  FormsLine line_;
  // The number of the spelling suggestion asked for last; an answer to an older one is late.
  uint32_t request_ = 0;
};

}  // namespace lexmora
