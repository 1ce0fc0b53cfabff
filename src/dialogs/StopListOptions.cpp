#include "dialogs/StopListOptions.h"

#include <algorithm>
#include <filesystem>

#include "dialogs/TypedText.h"
#include "platform/Errors.h"
#include "platform/Messages.h"

namespace quenterra {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxAddLength = 255;

std::string FolderOf(const std::string& name) {
  std::string dir = fs::path(name).parent_path().string();
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

void TStopListOptions::Show() { SetEntries(list_.Words()); }

void TStopListOptions::Activate() {
  modified_ = false;
  backup_ = list_.Words();
  ShowFileName();
}

void TStopListOptions::Add() {
  std::string answer;
  bool ok = InputQuery("Add to Stop List", "Enter word(s) to add to stop list:", answer);
  Activate();
  if (!ok || answer.empty()) return;
  // The answer is typed text; the words are kept in the corpus encoding.
  try {
    AddText(EncodeTyped(answer, tables_));
  } catch (const EUnencodable& refused) {
    MsgError(refused.what());
  }
}

void TStopListOptions::AddText(const std::string& text) {
  const TCharCoding& coding = tables_.Coding();
  const TCharSet separators = BuildDelimiterSet(config_, coding);
  std::string word;
  size_t pos = 0;
  for (size_t count = 0; pos < text.size() && count < kMaxAddLength; ++count) {
    const size_t start = pos;
    if (!separators.Contains(coding.Next(text, pos))) {
      word.append(text, start, pos - start);
      continue;
    }
    if (word.empty()) return;  // an empty word ends the adding
    AddWord(word);
    word.clear();
  }
  if (!word.empty()) AddWord(word);
}

void TStopListOptions::AddWord(const std::string& word) {
  if (list_.Contains(word, tables_)) return;
  list_.Words().push_back(word);
  InsertEntry(word);
  modified_ = true;
}

void TStopListOptions::Remove(const std::vector<int>& selected) {
  std::vector<int> rows = selected;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    if (*row < 0 || static_cast<size_t>(*row) >= entries_.size()) continue;
    std::string folded = tables_.FoldString(entries_[static_cast<size_t>(*row)]);
    std::vector<std::string>& words = list_.Words();
    auto word = std::find_if(words.begin(), words.end(),
                             [&](const std::string& w) { return tables_.FoldString(w) == folded; });
    if (word != words.end()) words.erase(word);
    entries_.erase(entries_.begin() + *row);
    modified_ = true;
  }
}

void TStopListOptions::Clear() {
  if (entries_.empty()) return;
  bool ok = MsgConfirm("Remove all words from stop list?");
  Activate();
  if (!ok) return;
  entries_.clear();
  list_.SetFileName("");
  label_.clear();
  modified_ = true;
}

void TStopListOptions::Save(const TChooseFile& chooseFile) {
  if (list_.FileName().empty()) {
    std::string chosen = chooseFile(global_.StopListPath);
    Activate();
    if (chosen.empty()) return;
    list_.AssignFileName(CompleteName(chosen));
  }
  try {
    TStopList::SaveWordsToFile(list_.FileName(), entries_);
  } catch (const EQuenterra&) {
    MsgError("Unable to save to file \r\n" + list_.FileName());
    list_.AssignFileName("");
    return;
  }
  global_.StopListPath = FolderOf(list_.FileName());
  ShowFileName();
  modified_ = false;
}

void TStopListOptions::Load(const TChooseFile& chooseFile) {
  std::string chosen = chooseFile(global_.StopListPath);
  Activate();
  if (chosen.empty()) return;
  std::string name = CompleteName(chosen);
  std::vector<std::string> words;
  try {
    words = TStopList::ReadWordsFromFile(name);
  } catch (const EQuenterra&) {
    // The current words stay: a file that cannot be read must not cost the user the list.
    MsgError("Unable to load words from \r\n" + name);
    return;
  }
  list_.SetFileName(name);
  global_.StopListPath = FolderOf(name);
  SetEntries(std::move(words));
  list_.Words() = entries_;
  ShowFileName();
  modified_ = false;
}

void TStopListOptions::Close() {
  if (modified_ && !MsgConfirm("Save changes?")) {
    list_.Words() = backup_;
    list_.SetActive(!backup_.empty());
  }
  backup_.clear();
}

std::string TStopListOptions::CompleteName(const std::string& chosen) {
  fs::path path(chosen);
  if (!path.has_extension()) path += ".TXT";
  std::error_code error;
  fs::path full = fs::absolute(path, error);
  return error ? path.string() : full.lexically_normal().string();
}

// The list box's order: letter case ignored, then bytes, so equal words in two cases keep a
// stable order.
bool TStopListOptions::EntryLess(const std::string& a, const std::string& b) const {
  std::string fa = tables_.FoldString(a), fb = tables_.FoldString(b);
  return fa != fb ? fa < fb : a < b;
}

void TStopListOptions::SetEntries(std::vector<std::string> words) {
  entries_ = std::move(words);
  auto less = [this](const std::string& a, const std::string& b) { return EntryLess(a, b); };
  std::stable_sort(entries_.begin(), entries_.end(), less);
}

void TStopListOptions::InsertEntry(const std::string& word) {
  auto less = [this](const std::string& a, const std::string& b) { return EntryLess(a, b); };
  entries_.insert(std::upper_bound(entries_.begin(), entries_.end(), word, less), word);
}

void TStopListOptions::ShowFileName() { label_ = fs::path(list_.FileName()).filename().string(); }

}  // namespace quenterra
