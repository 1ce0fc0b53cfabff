// The rules of the "View Stop List" dialog, which edits the stop list's words directly and keeps
// a backup for undo. The dialog binds its list box, label and buttons to a TStopListOptions and
// forwards its buttons; file dialogs are passed in as callbacks.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "corpus/LangTables.h"
#include "engine/StopList.h"
#include "settings/Settings.h"

namespace quenterra {

class TStopListOptions {
 public:
  // Runs a file dialog starting in `initialDir`; returns the chosen name, or empty on Cancel.
  using TChooseFile = std::function<std::string(const std::string& initialDir)>;

  // Edits `list` in place and keeps the file dialogs' directory in global.StopListPath; words
  // split at config's delimiters and compare with letter case ignored (the tables' case table).
  // None is owned; all must outlive the dialog.
  TStopListOptions(TStopList& list, TGlobalSettings& global, const ZuzadovUdirev& config,
                   const TLangTables& tables)
      : list_(list), global_(global), config_(config), tables_(tables) {}
  TStopListOptions(const TStopListOptions&) = delete;
  TStopListOptions& operator=(const TStopListOptions&) = delete;

  // The list box: the words sorted without regard to letter case.
  const std::vector<std::string>& Entries() const { return entries_; }
  const std::string& FileNameLabel() const { return label_; }
  bool Modified() const { return modified_; }
  bool SaveEnabled() const { return !entries_.empty(); }  // "Remove" needs a current item

  // On show: the list box takes the words.
  void Show();
  // The dialog became the active window (opening, or the focus coming back from another window
  // of the program): the modified flag is cleared and the backup taken anew. The input dialog,
  // the confirmation of "Clear" and the file dialogs run from here call it themselves when they
  // close, so the front-end calls it only for activations it did not cause.
  void Activate();

  // "&Add...": asks for words and adds them (AddText); an answer with a character that the
  // corpus encoding lacks is refused with a message.
  void Add();
  // Splits the first 255 characters at the word separators (BuildDelimiterSet) and adds each
  // word from the left that the list does not contain; an empty word (two separators in a row,
  // a leading one) ends the adding.
  void AddText(const std::string& text);
  // "&Remove": the entries at these list-box positions leave the list box and the words.
  void Remove(const std::vector<int>& selected);
  // "&Clear": after the confirmation "Remove all words from stop list?", empties everything and
  // forgets the file name.
  void Clear();
  // "&Save...": an unnamed list first asks for a file name; then the entries are written, one a
  // line. On failure shows "Unable to save to file \r\n<name>" and forgets the name.
  void Save(const TChooseFile& chooseFile);
  // "&Load...": the chosen file's words replace the list. On failure shows
  // "Unable to load words from \r\n<name>" and leaves the list as it was.
  void Load(const TChooseFile& chooseFile);
  // Closing: when modified, "Save changes?"; Cancel restores the backup. The dialog closes.
  void Close();

 private:
  static std::string CompleteName(const std::string& chosen);
  bool EntryLess(const std::string& a, const std::string& b) const;
  void SetEntries(std::vector<std::string> words);
  void InsertEntry(const std::string& word);
  void AddWord(const std::string& word);  // unless the list holds it
  void ShowFileName();

  TStopList& list_;
  TGlobalSettings& global_;
  const ZuzadovUdirev& config_;
  const TLangTables& tables_;
  std::vector<std::string> entries_;  // the list box, sorted
  std::vector<std::string> backup_;   // the words when the dialog last became active
  std::string label_;                 // the file-name part of the list's file
  bool modified_ = false;
};

}  // namespace quenterra
