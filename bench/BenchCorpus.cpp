#include "BenchCorpus.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace quenterra::bench {

std::string WordNear(const TTextIndex& index, int64_t target, int minLength) {
  std::string best;
  int64_t distance = INT64_MAX;
  for (uint32_t id = 0; id < index.TokenCount(); ++id) {
    const TIndexToken& token = index.GetToken(id);
    const int64_t d = std::llabs(static_cast<int64_t>(token.frequency) - target);
    if (token.kind == kKindWord && d < distance && token.length > minLength) {
      distance = d;
      best = token.text;
    }
  }
  return best;
}

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
  }
  return -1;
}

TProgramSettings TaggedBrownSettings() {
  TProgramSettings settings = TProgramSettings::Defaults();
  settings.config.WordTag = 1;
  settings.config.wTagDelimiter = '/';
  settings.RebuildTables();
  return settings;
}

std::optional<std::vector<std::string>> LoadTaggedBrown(const char* program) {
  const std::string dir = std::string(QUENTERRA_SAMPLES_DIR) + "/brown";
  if (!std::filesystem::exists(dir)) {
    std::printf("%s: no sample corpus at %s (run scripts/setup)\n", program, dir.c_str());
    return std::nullopt;
  }
  std::vector<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    if (name.size() == 4 && name[0] == 'c') names.push_back(entry.path());
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> texts;
  for (const auto& name : names) {
    std::ifstream in(name, std::ios::binary);
    texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return texts;
}

int64_t TRepeatedStream::Read(void* buffer, int64_t count) {
  char* out = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count && position_ < GetSize()) {
    size_t at = static_cast<size_t>(position_ % static_cast<int64_t>(text_.size()));
    size_t take = std::min<size_t>(text_.size() - at, static_cast<size_t>(count - done));
    std::memcpy(out + done, text_.data() + at, take);
    done += static_cast<int64_t>(take);
    position_ += static_cast<int64_t>(take);
  }
  return done;
}

int64_t TRepeatedStream::Seek(int64_t offset, TSeekOrigin origin) {
  position_ = origin == TSeekOrigin::kBegin ? offset
              : origin == TSeekOrigin::kEnd ? GetSize() + offset
                                            : position_ + offset;
  return position_;
}

TRepeatedCorpus::TRepeatedCorpus(const std::vector<std::string>& texts, int repeat) {
  for (size_t i = 0; i < texts.size(); ++i) {
    streams_.push_back(std::make_unique<TRepeatedStream>(texts[i], repeat));
    files_.push_back({"brown" + std::to_string(i), streams_.back().get()});
  }
}

double TRepeatedCorpus::BuildIndex(TCorpusIndex& corpus) const {
  auto start = Clock::now();
  corpus.BuildRange(files_, 0, static_cast<int>(files_.size()) - 1, nullptr);
  return Seconds(start);
}

}  // namespace quenterra::bench
