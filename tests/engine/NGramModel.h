// A simple model of n-gram counting for the n-gram and full-extract tests: a corpus kept as a
// plain token stream (and built into a real text index), random corpora with word tags, normal
// tags, stop words and rare words, and n-grams counted by looking at every window directly.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "corpus/TextIndex.h"
#include "support/TempDir.h"

namespace quenterra::test {

struct TModelToken {
  std::string text;
  uint8_t kind = kKindWord;
};
using TModelFile = std::vector<TModelToken>;

// The corpus as a token stream, and the same tokens in a text index.
class TModelCorpus {
 public:
  TModelCorpus(const std::vector<TModelFile>& files, bool tagBefore) {
    index_ =
        std::make_unique<TTextIndex>(dir_.File("page"), TProgressCallback(), TIndexFileMode::Create,
                                     tagBefore, true, dir_.File("seq"));
    for (size_t f = 0; f < files.size(); ++f) {
      for (const TModelToken& token : files[f]) {
        const uint32_t id =
            index_->AddToken(token.text.c_str(), token.kind, 0, static_cast<uint32_t>(f));
        ids.push_back(static_cast<int32_t>(id));
        kinds.push_back(token.kind);
        texts.push_back(token.text);
        fileOf.push_back(static_cast<int32_t>(f));
        ++frequency[static_cast<int32_t>(id)];
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
  // The word tag next to the word at p on the tag side, in the same file, or -1.
  int32_t TagOf(int32_t p, bool tagBefore) const {
    const int32_t q = tagBefore ? p - 1 : p + 1;
    if (q < 0 || q >= Size() || fileOf[q] != fileOf[p] || kinds[q] != kKindWordTag) return -1;
    return ids[q];
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

struct TModelSettings {
  int n = 2;
  bool useTags = false;
  int32_t minFreq = 1;
  TKindSet kinds = kWordKinds;
  bool tagBefore = false;
  std::set<std::string> stopWords;  // lower case
};

struct TModelKey {
  std::vector<int32_t> words;
  std::vector<int32_t> tags;  // empty without tags
  auto operator<=>(const TModelKey&) const = default;
};

inline bool Counted(const TModelCorpus& corpus, const TModelSettings& settings, int32_t p) {
  return (settings.kinds & KindBit(corpus.kinds[p])) != 0;
}

// The counted positions of every file, in order.
inline std::vector<std::vector<int32_t>> CountedPositions(const TModelCorpus& corpus,
                                                          const TModelSettings& settings) {
  std::vector<std::vector<int32_t>> files;
  for (int32_t p = 0; p < corpus.Size(); ++p) {
    if (files.size() <= static_cast<size_t>(corpus.fileOf[p])) files.resize(corpus.fileOf[p] + 1);
    if (Counted(corpus, settings, p)) files[corpus.fileOf[p]].push_back(p);
  }
  return files;
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
  for (const std::vector<int32_t>& positions : CountedPositions(corpus, settings)) {
    for (size_t end = settings.n; end <= positions.size(); ++end) {
      if (positions[end - 1] >= limit) break;
      TModelKey key;
      bool ok = true;
      for (size_t i = end - settings.n; i < end && ok; ++i) {
        const int32_t p = positions[i];
        ok = usable(p);
        key.words.push_back(corpus.ids[p]);
        if (settings.useTags) {
          const int32_t tag = corpus.TagOf(p, settings.tagBefore);
          if (tag >= 0 && corpus.Frequency(tag) < settings.minFreq) ok = false;
          key.tags.push_back(tag);
        }
      }
      if (ok) grams[key].push_back(positions[end - 1]);
    }
  }
  return grams;
}

// A random corpus of 1 to 4 files: common words w0..w9 (skewed), rare words, the stop word
// candidates w2 and attr, word tags next to most words (on the side tagBefore says; the tag xx
// is rare) and now and then a normal tag (kind 2 "tag" with kind 3 words).
inline std::vector<TModelFile> RandomFiles(std::mt19937& rng, bool tagBefore, int maxWords = 60) {
  std::uniform_int_distribution<int> fileCount(1, 4), words(0, maxWords), percent(0, 99);
  std::geometric_distribution<int> common(0.3);
  const char* const kTags[] = {"nn", "vb", "jj", "nn", "vb", "xx"};
  std::vector<TModelFile> files(static_cast<size_t>(fileCount(rng)));
  int rareNumber = 0;
  for (TModelFile& file : files) {
    const int length = words(rng);
    for (int i = 0; i < length; ++i) {
      if (percent(rng) < 5) {
        file.push_back({"tag", kKindTagName});
        file.push_back({percent(rng) < 50 ? "attr" : "w1", kKindTagWord});
      }
      std::string word = percent(rng) < 8 ? "r" + std::to_string(rareNumber++ % 7)
                                          : "w" + std::to_string(std::min(common(rng), 9));
      TModelToken tag{kTags[percent(rng) % 6], kKindWordTag};
      if (tag.text == "xx" && percent(rng) < 70) tag.text = "nn";
      const bool tagged = percent(rng) < 80;
      if (tagged && tagBefore) file.push_back(tag);
      file.push_back({word, kKindWord});
      if (tagged && !tagBefore) file.push_back(tag);
    }
  }
  return files;
}

}  // namespace quenterra::test

namespace quenterra::test {

// What a scripted progress window saw, and when it reports a cancel.
struct TProgressLog {
  int windows = 0;                    // windows shown
  std::vector<std::string> captions;  // at show and every SetCaption
  std::vector<std::string> labels;    // every SetLabel
  std::vector<int64_t> maxima;        // every SetMax
  int64_t position = 0;               // the last SetPosition
  int polls = 0;                      // ProcessMessages calls
  int cancelAfter = -1;               // report Cancel once polls reach it; -1 never
  std::string cancelCaption;          // the caption when the cancel was first seen
};

// A progress window whose user presses Cancel after a given number of polls.
class TScriptedProgress : public TProgress {
 public:
  TScriptedProgress(TProgressLog& log, const std::string& caption) : log_(log) {
    ++log_.windows;
    log_.captions.push_back(caption);
  }
  void SetCaption(const std::string& caption) override { log_.captions.push_back(caption); }
  void SetLabel(const std::string& text) override { log_.labels.push_back(text); }
  void SetSpecialText(const std::string&) override {}
  void SetMax(int64_t max) override { log_.maxima.push_back(max); }
  void SetPosition(int64_t position) override { log_.position = position; }
  void ProcessMessages() override { ++log_.polls; }
  TCancelState CancelState() const override {
    if (log_.cancelAfter < 0 || log_.polls < log_.cancelAfter) return TCancelState::Running;
    if (log_.cancelCaption.empty()) log_.cancelCaption = log_.captions.back();
    return TCancelState::Cancel;
  }

 private:
  TProgressLog& log_;
};

inline void InstallScriptedProgress(TProgressLog& log) {
  InstallProgressFactory([&log](TProgressKind, const std::string& caption) {
    return std::unique_ptr<TProgress>(std::make_unique<TScriptedProgress>(log, caption));
  });
}

}  // namespace quenterra::test
