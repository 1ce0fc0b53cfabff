// Shared by the engine tests: a corpus kept both as a plain token stream and in a real text
// index, random corpora, n-grams counted window by window as a model, a scripted progress window
// that cancels on cue, the settings fixture and one with an empty index filled token by token.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "config/ProgramSettings.h"
#include "corpus/TextIndex.h"
#include "engine/StopList.h"
#include "engine/collocList.h"
#include "platform/NumberFormat.h"
#include "platform/Progress.h"
#include "support/SettingsTest.h"
#include "support/TempDir.h"

namespace quenterra::test {

struct TModelToken {
  std::string text;
  uint8_t kind = kKindWord;
};
using TModelFile = std::vector<TModelToken>;

// "the dog/nn @p barks": words, a word with its word tag (on the side tagBefore says), the name
// of a normal tag.
inline TModelFile ParseFile(const std::string& text, bool tagBefore) {
  TModelFile file;
  std::istringstream in(text);
  for (std::string item; in >> item;) {
    const size_t slash = item.find('/');
    if (item[0] == '@') {
      file.push_back({item.substr(1), kKindTagName});
    } else if (slash == std::string::npos) {
      file.push_back({item, kKindWord});
    } else {
      TModelToken word{item.substr(0, slash), kKindWord}, tag{item.substr(slash + 1), kKindWordTag};
      if (tagBefore) std::swap(word, tag);
      file.push_back(word);
      file.push_back(tag);
    }
  }
  return file;
}
inline std::vector<TModelFile> ParseFiles(const std::vector<std::string>& texts,
                                          bool tagBefore = false) {
  std::vector<TModelFile> files;
  for (const std::string& text : texts) files.push_back(ParseFile(text, tagBefore));
  return files;
}

// A random corpus of 1 to 4 files of up to maxWords words each: words of a small vocabulary that
// shares prefixes and grows rarer along it, now and then a rare word r0 .. r6; most words with a
// word tag (xx is rare), now and then a stray second tag; now and then a normal tag, its name
// "p" alone or with a word inside.
inline std::vector<TModelFile> RandomFiles(std::mt19937& rng, bool tagBefore, int maxWords) {
  static const char* const kWords[] = {"a", "b", "ab", "c", "ba", "abc", "bc", "ca", "cab", "bb"};
  static const char* const kTags[] = {"nn", "vb", "nns", "nn", "vb", "xx"};
  std::uniform_int_distribution<int> fileCount(1, 4), words(0, maxWords), percent(0, 99);
  std::geometric_distribution<int> common(0.3);
  std::vector<TModelFile> files(static_cast<size_t>(fileCount(rng)));
  int rareNumber = 0;
  for (TModelFile& file : files) {
    for (int i = words(rng); i > 0; --i) {
      if (percent(rng) < 6) {
        file.push_back({"p", kKindTagName});
        if (percent(rng) < 50) file.push_back({percent(rng) < 50 ? "attr" : "a", kKindTagWord});
      }
      const std::string word = percent(rng) < 8 ? "r" + std::to_string(rareNumber++ % 7)
                                                : kWords[std::min(common(rng), 9)];
      TModelToken tag{kTags[percent(rng) % 6], kKindWordTag};
      if (tag.text == "xx" && percent(rng) < 70) tag.text = "nn";
      const bool tagged = percent(rng) < 75;
      if (tagged && tagBefore) file.push_back(tag);
      file.push_back({word, kKindWord});
      if (tagged && !tagBefore) file.push_back(tag);
    }
    if (!file.empty() && percent(rng) < 12) {
      file.insert(file.begin() + static_cast<long>(rng() % file.size()), {"vb", kKindWordTag});
    }
  }
  return files;
}

// A collocation key: word ids, and tag ids (-1 for none) or nothing.
struct TModelKey {
  std::vector<int32_t> words;
  std::vector<int32_t> tags;
  auto operator<=>(const TModelKey&) const = default;
};
inline void PrintTo(const TModelKey& key, std::ostream* out) {
  for (int32_t id : key.words) *out << id << ' ';
  for (int32_t id : key.tags) *out << '/' << id;
}
inline TModelKey KeyOf(const TCollocationList& list, int i) {
  const TCollocItem& item = list.Item(i);
  TModelKey key{{item.words, item.words + list.WordCount()}, {}};
  if (item.tags != nullptr) key.tags.assign(item.tags, item.tags + list.WordCount());
  return key;
}
inline std::map<TModelKey, int32_t> Counts(const TCollocationList& list) {
  std::map<TModelKey, int32_t> counts;
  for (int i = 0; i < list.Count(); ++i) counts[KeyOf(list, i)] += list.Item(i).count;
  return counts;
}

// The corpus as a token stream, and the same tokens in a text index.
class TModelCorpus {
 public:
  TModelCorpus(const std::vector<TModelFile>& files, bool tagBefore) {
    index_ =
        std::make_unique<TTextIndex>(dir_.File("page"), TProgressCallback(),
                                     TIndexFileMode::kCreate, tagBefore, true, dir_.File("seq"));
    for (size_t f = 0; f < files.size(); ++f) {
      for (const TModelToken& token : files[f]) {
        const auto id = static_cast<int32_t>(
            index_->AddToken(token.text.c_str(), token.kind, 0, static_cast<uint32_t>(f)));
        ids.push_back(id);
        kinds.push_back(token.kind);
        texts.push_back(token.text);
        fileOf.push_back(static_cast<int32_t>(f));
        ++frequency[id];
      }
    }
    index_->Commit();
  }

  TTextIndex& Index() { return *index_; }
  int32_t Size() const { return static_cast<int32_t>(ids.size()); }
  int64_t Frequency(int32_t id) const {
    auto at = frequency.find(id);
    return at == frequency.end() ? 0 : at->second;
  }
  // The position of the word tag next to the word at p on the tag side, in its file, or -1.
  int32_t TagAt(int32_t p, bool tagBefore) const {
    const int32_t q = tagBefore ? p - 1 : p + 1;
    return q < 0 || q >= Size() || fileOf[q] != fileOf[p] || kinds[q] != kKindWordTag ? -1 : q;
  }
  int32_t TagOf(int32_t p, bool tagBefore) const {
    const int32_t q = TagAt(p, tagBefore);
    return q < 0 ? -1 : ids[q];
  }
  // The positions of every file whose kinds are in the set, in order.
  std::vector<std::vector<int32_t>> CountedPositions(TKindSet kindSet) const {
    std::vector<std::vector<int32_t>> files;
    for (int32_t p = 0; p < Size(); ++p) {
      if (files.size() <= static_cast<size_t>(fileOf[p])) files.resize(fileOf[p] + 1);
      if ((kindSet & KindBit(kinds[p])) != 0) files[fileOf[p]].push_back(p);
    }
    return files;
  }

  std::vector<int32_t> ids;  // by position
  std::vector<uint8_t> kinds;
  std::vector<std::string> texts;
  std::vector<int32_t> fileOf;
  std::map<int32_t, int64_t> frequency;  // by token id

 private:
  TTempDir dir_;
  std::unique_ptr<TTextIndex> index_;
};

// The settings of an n-gram count.
struct TModelSettings {
  int n = 2;
  bool useTags = false;
  int32_t minFreq = 1;
  TKindSet kinds = kWordKinds;
  bool tagBefore = false;
  std::set<std::string> stopWords;  // lower case
};

inline TModelSettings RandomSettings(std::mt19937& rng, int n) {
  TModelSettings settings;
  settings.n = n;
  settings.useTags = rng() % 2 == 0;
  settings.minFreq = 1 + static_cast<int32_t>(rng() % 3);
  settings.kinds = rng() % 3 == 0 ? kTextKinds : kWordKinds;
  settings.tagBefore = rng() % 3 == 0;
  if (rng() % 2 == 0) settings.stopWords = {"c", "attr"};
  return settings;
}

// Puts the model's settings into the configuration object, the full-extract options and the
// stop list.
inline void ApplySettings(const TModelSettings& model, TProgramSettings& settings) {
  ZuzadovUdirev& config = settings.config;
  config.Min_Word_Freq = model.minFreq;
  config.SkipNormalTags = model.kinds == kWordKinds;
  config.WordTag = model.tagBefore ? 2 : 1;
  config.wTagBefore = model.tagBefore;
  config.UseStoplist = !model.stopWords.empty();
  settings.stopList.SetWords({model.stopWords.begin(), model.stopWords.end()});
  settings.fullExtract.Max_Span = model.n;
  settings.fullExtract.UsePOSTags = model.useTags;
}

// Every n-gram, looked at window by window: its key and the positions of its last words, for
// the windows that end before `limit`.
inline std::map<TModelKey, std::vector<int32_t>> ModelNGrams(const TModelCorpus& corpus,
                                                             const TModelSettings& settings,
                                                             int32_t limit = INT32_MAX) {
  auto usable = [&](int32_t p) {
    return corpus.Frequency(corpus.ids[p]) >= settings.minFreq &&
           settings.stopWords.count(corpus.texts[p]) == 0;
  };
  std::map<TModelKey, std::vector<int32_t>> grams;
  for (const std::vector<int32_t>& positions : corpus.CountedPositions(settings.kinds)) {
    for (size_t end = settings.n; end <= positions.size() && positions[end - 1] < limit; ++end) {
      TModelKey key;
      bool ok = true;
      for (size_t i = end - settings.n; i < end; ++i) {
        const int32_t p = positions[i];
        ok = ok && usable(p);
        key.words.push_back(corpus.ids[p]);
        if (settings.useTags) {
          const int32_t tag = corpus.TagOf(p, settings.tagBefore);
          ok = ok && (tag < 0 || corpus.Frequency(tag) >= settings.minFreq);
          key.tags.push_back(tag);
        }
      }
      if (ok) grams[key].push_back(positions[end - 1]);
    }
  }
  return grams;
}

// What a scripted progress window saw, and when it reports a cancel.
struct TProgressLog {
  std::vector<TProgressKind> kinds;   // of the windows shown
  std::vector<std::string> captions;  // at show and every SetCaption
  std::vector<std::string> labels;    // every SetLabel
  std::vector<int64_t> maxima;        // every SetMax
  int64_t position = 0;               // the last SetPosition
  bool maxWhileAdvanced = false;      // a SetMax came with the bar beyond 0 (a jumping bar)
  int polls = 0;                      // ProcessMessages calls
  int cancelAfter = -1;               // report cancelWith once polls reach it; -1 never
  TCancelState cancelWith = TCancelState::kCancel;
  std::string cancelCaption;  // the caption when the cancel was first seen
};

// A progress window whose user presses Cancel after a given number of polls.
class TScriptedProgress : public TNullProgress {
 public:
  TScriptedProgress(TProgressLog& log, TProgressKind kind, const std::string& caption) : log_(log) {
    log_.kinds.push_back(kind);
    log_.captions.push_back(caption);
  }
  void SetCaption(const std::string& caption) override { log_.captions.push_back(caption); }
  void SetLabel(const std::string& text) override { log_.labels.push_back(text); }
  void SetMax(int64_t max) override {
    log_.maxima.push_back(max);
    log_.maxWhileAdvanced |= log_.position > 0;
  }
  void SetPosition(int64_t position) override { log_.position = position; }
  void ProcessMessages() override { ++log_.polls; }
  TCancelState CancelState() const override {
    if (log_.cancelAfter < 0 || log_.polls < log_.cancelAfter) return TCancelState::kRunning;
    if (log_.cancelCaption.empty()) log_.cancelCaption = log_.captions.back();
    return log_.cancelWith;
  }

 private:
  TProgressLog& log_;
};

inline void InstallScriptedProgress(TProgressLog& log) {
  InstallProgressFactory([&log](TProgressKind kind, const std::string& caption) {
    return std::unique_ptr<TProgress>(std::make_unique<TScriptedProgress>(log, kind, caption));
  });
}

using TEngineTest = TSettingsTest;

// A fixture with an index of its own whose tokens all lie in file 0, for the tests of lists,
// scores and list texts.
class TIndexTest : public TSettingsTest {
 protected:
  // Adds `times` occurrences of a token and returns its id.
  int32_t Token(const char* text, int times = 1, uint8_t kind = kKindWord) {
    uint32_t id = 0;
    for (int i = 0; i < times; ++i) id = index_.AddToken(text, kind, 0, 0);
    return static_cast<int32_t>(id);
  }

  TTempDir dir_;
  TTextIndex index_{dir_.File("page"), TProgressCallback(), TIndexFileMode::kCreate, false, true,
                    dir_.File("seq")};
};

// Puts a number format in force while it lives and the one before back after.
class TNumberFormatScope {
 public:
  explicit TNumberFormatScope(const TNumberFormat& format) { SetNumberFormat(format); }
  ~TNumberFormatScope() { SetNumberFormat(saved_); }
  TNumberFormatScope(const TNumberFormatScope&) = delete;
  TNumberFormatScope& operator=(const TNumberFormatScope&) = delete;

 private:
  TNumberFormat saved_ = NumberFormat();
};

}  // namespace quenterra::test
