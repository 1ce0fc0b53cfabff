#include "dialogs/StopListOptions.h"

#include <algorithm>
#include <filesystem>

#include "settings/Settings.h"
#include "corpus/LangTables.h"
#include "platform/Errors.h"
#include "platform/Messages.h"

namespace quenterra {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxAddLength = 255;

// The list box's order: letter case ignored, then bytes, so equal words in two cases keep a
// stable order.
bool EntryLess(const std::string& a, const std::string& b) {
  std::string fa = FoldString(a), fb = FoldString(b);
  return fa != fb ? fa < fb : a < b;
}

std::string FolderOf(const std::string& name) {
  std::string dir = fs::path(name).parent_path().string();
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

void TStopListViewer::Show() { SetEntries(list_.Words()); }

void TStopListViewer::Activate() {
  modified_ = false;
  backup_ = list_.Words();
  ShowFileName();
}

void TStopListViewer::Add() {
  std::string answer;
  bool ok = InputQuery("Add to Stop List", "Enter word(s) to add to stop list:", answer);
  Activate();
  if (ok && !answer.empty()) AddText(answer);
}

void TStopListViewer::AddText(const std::string& text) {
  std::string_view rest = std::string_view(text).substr(0, kMaxAddLength);
  TCharSet separators = BuildDelimiterSet();
  while (true) {
    size_t end = 0;
    while (end < rest.size() && !separators.Contains(static_cast<unsigned char>(rest[end]))) ++end;
    if (end == 0) return;  // an empty word ends the adding
    std::string word(rest.substr(0, end));
    if (!list_.Contains(word)) {
      list_.Words().push_back(word);
      InsertEntry(word);
      modified_ = true;
    }
    if (end == rest.size()) return;
    rest.remove_prefix(end + 1);
  }
}

void TStopListViewer::Remove(const std::vector<int>& selected) {
  std::vector<int> rows = selected;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    if (*row < 0 || static_cast<size_t>(*row) >= entries_.size()) continue;
    std::string folded = FoldString(entries_[static_cast<size_t>(*row)]);
    std::vector<std::string>& words = list_.Words();
    auto word = std::find_if(words.begin(), words.end(),
                             [&](const std::string& w) { return FoldString(w) == folded; });
    if (word != words.end()) words.erase(word);
    entries_.erase(entries_.begin() + *row);
    modified_ = true;
  }
}

void TStopListViewer::Clear() {
  if (entries_.empty()) return;
  bool ok = MsgConfirm("Remove all words from stop list?");
  Activate();
  if (!ok) return;
  entries_.clear();
  list_.SetFileName("");
  label_.clear();
  modified_ = true;
}

void TStopListViewer::Save(const TChooseFile& chooseFile) {
  if (list_.FileName().empty()) {
    std::string chosen = chooseFile(GlobalSettings().StopListPath);
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
  GlobalSettings().StopListPath = FolderOf(list_.FileName());
  ShowFileName();
  modified_ = false;
}

void TStopListViewer::Load(const TChooseFile& chooseFile) {
  std::string chosen = chooseFile(GlobalSettings().StopListPath);
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
  GlobalSettings().StopListPath = FolderOf(name);
  SetEntries(std::move(words));
  list_.Words() = entries_;
  ShowFileName();
  modified_ = false;
}

void TStopListViewer::Close() {
  if (modified_ && !MsgConfirm("Save changes?")) {
    list_.Words() = backup_;
    list_.SetActive(!backup_.empty());
  }
  backup_.clear();
}

std::string TStopListViewer::CompleteName(const std::string& chosen) {
  fs::path path(chosen);
  if (!path.has_extension()) path += ".TXT";
  std::error_code error;
  fs::path full = fs::absolute(path, error);
  return error ? path.string() : full.lexically_normal().string();
}

void TStopListViewer::SetEntries(std::vector<std::string> words) {
  entries_ = std::move(words);
  std::stable_sort(entries_.begin(), entries_.end(), EntryLess);
}

void TStopListViewer::InsertEntry(const std::string& word) {
  entries_.insert(std::upper_bound(entries_.begin(), entries_.end(), word, EntryLess), word);
}

void TStopListViewer::ShowFileName() { label_ = fs::path(list_.FileName()).filename().string(); }

}  // namespace quenterra
