// Splits arbitrary bytes as a corpus file in each word-tag mode (none, delimiter, start strings)
// and checks every token handed on: 1 to 255 bytes without a zero, a kind the index knows, an
// offset inside the file, in file order.
//
// Input: byte 0 picks the settings: bits 0-1 WordTag (3 reads as 2), bit 2 wTagBefore, bit 3
// ignoreCase, bit 4 words inside normal tags are kept, bit 5 skipped characters on; the rest is
// the file.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "FuzzKit.h"
#include "corpus/LangTables.h"
#include "corpus/WordSplitter.h"
#include "settings/Settings.h"

namespace {

using namespace quenterra;
using fuzz::Check;

class TCheckingSink : public TTokenSink {
 public:
  explicit TCheckingSink(int64_t size) : size_(size) {}
  uint32_t AddToken(const char* text, uint8_t kind, int64_t sourceOffset,
                    uint32_t fileNumber) override {
    size_t length = std::strlen(text);
    Check(length >= 1 && length <= TWordSplitter::kMaxTokenLength);
    Check(kind == kKindWord || kind == kKindTagName || kind == kKindTagWord ||
          kind == kKindWordTag);
    int64_t offset = sourceOffset - TWordSplitter::kSourceOffsetBias;
    Check(offset >= 0 && offset < size_ && offset >= last_);
    Check(fileNumber == 3);
    last_ = offset;
    return 0;
  }

 private:
  int64_t size_;
  int64_t last_ = 0;
};

struct TSplitSetup {
  ZuzadovUdirev config;
  TLangTables tables;
};

// The settings of a settings byte, built once each.
const TSplitSetup& Setup(uint8_t bits) {
  static std::map<uint8_t, std::unique_ptr<TSplitSetup>> made;
  std::unique_ptr<TSplitSetup>& setup = made[bits];
  if (setup) return *setup;
  setup = std::make_unique<TSplitSetup>();
  ZuzadovUdirev& config = setup->config;
  config.WordTag = static_cast<uint8_t>(std::min(bits & 3, 2));
  config.wTagBefore = (bits & 4) != 0;
  config.ignoreCase = (bits & 8) != 0;
  config.SkipNormalTags = (bits & 16) == 0;
  config.UseSkippingChars = (bits & 32) != 0;
  config.wTagDelimiter = '/';
  config.wTagStarts = {"_", "<t", "TAG:"};
  setup->tables = TLangTables(TGlobalSettings::kEnglishUS, config);
  return *setup;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const TSplitSetup& setup = Setup(data[0] & 63);
  std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
  fuzz::TMemoryStream stream(file);
  TCheckingSink sink(static_cast<int64_t>(file.size()));
  TWordSplitter splitter(sink, setup.config, setup.tables);
  splitter.SplitFile(stream, 3, "fuzz");
  return 0;
}
