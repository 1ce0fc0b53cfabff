// The stop list: words that no counted window or n-gram may hold when UseStoplist is on. Loaded
// and saved with the settings (config/SettingsFile.h); its words live either in the settings
// file (section StopList) or in a plain text file, one word per line.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "corpus/DWordList.h"
#include "corpus/LangTables.h"
#include "corpus/TextIndex.h"

namespace quenterra {

class TStopList {
 public:
  static constexpr size_t kMaxTokenLength = 255;  // longer words can match no token

  // Looks a token up in the text index: its id, or nothing when the index lacks (text, kind).
  using TFindToken = std::function<std::optional<uint32_t>(const std::string& text, uint8_t kind)>;

  TStopList() = default;

  const std::string& FileName() const { return fileName_; }
  const std::vector<std::string>& Words() const { return words_; }
  std::vector<std::string>& Words() { return words_; }
  bool Active() const { return active_; }
  // Whether the last LoadFromFile failed (cleared by SetWords and SetFileName): a run that uses
  // the stop list would then run on less than was asked.
  bool LoadFailed() const { return loadFailed_; }

  // Takes the words kept in the settings file (not in a file of their own); Active becomes
  // whether there is any.
  void SetWords(std::vector<std::string> words);
  // Loads the words from FileName(), one a line (blank lines skipped). On failure shows
  // "Unable to load stop-list words from file \r\n<name>", empties the list and returns false.
  bool LoadFromFile();
  // Empties the list and names its file (an empty name: the words live in the settings file).
  void SetFileName(const std::string& name);
  // Names the file and keeps the words (the viewer's "Save..." of an unnamed list, or forgetting
  // the name of a file that could not be written).
  void AssignFileName(const std::string& name) { fileName_ = name; }
  // Active := on and the list is not empty.
  void SetActive(bool on);
  // Whether the list is active and holds the word, letter case ignored (the case table).
  bool Contains(const std::string& word, const TLangTables& tables) const;
  // The ids of every token that a stop word stands for, ascending: for each word (lower-cased
  // through the case table, whatever ignoreCase says) and each counted kind of the run (kinds),
  // the id that findToken gives. Words over 255 characters are skipped.
  TDWordsList BuildIdList(const TFindToken& findToken, TKindSet kinds,
                          const TLangTables& tables) const;
  // The same against the text index's tokens; what the extraction runs call at their start.
  TDWordsList BuildIdList(const TTextIndex& index, TKindSet kinds, const TLangTables& tables) const;

  // Writes the words to a text file, one a line ended by CR LF, replacing it whole. Throws
  // EFileError on failure.
  static void SaveWordsToFile(const std::string& name, const std::vector<std::string>& words);
  // Reads a stop-list text file (a UTF-8 byte-order mark at its start is no part of the first
  // word); throws EFileError on failure.
  static std::vector<std::string> ReadWordsFromFile(const std::string& name);

 private:
  std::string fileName_;            // the text file, empty when the words live in the settings
  std::vector<std::string> words_;  // as typed or read
  bool active_ = false;             // gates the duplicate test of Contains
  bool loadFailed_ = false;
};

}  // namespace quenterra
