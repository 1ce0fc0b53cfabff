// Feeds arbitrary bytes to the INI reader and the settings reader. Checks that nothing crashes,
// that the model's text is a fixed point (parse(text(m)) gives text(m) again), and that settings
// written and read back are written again unchanged.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "config/FontValue.h"
#include "config/ProgramSettings.h"
#include "config/SettingsFile.h"
#include "platform/IniFile.h"
#include "platform/Messages.h"
#include "platform/NumberFormat.h"
#include "settings/Settings.h"

namespace {

using namespace quenterra;

// Answers nothing and prints nothing.
class TSilentMessages : public TMessageHandler {
 public:
  bool Confirm(const std::string&, bool) override { return false; }
  bool Ask(const std::string&, bool) override { return false; }
  bool Warn(const std::string&, bool) override { return false; }
  void Error(const std::string&) override {}
  bool InputQuery(const std::string&, const std::string&, std::string& value) override {
    value.clear();
    return false;
  }
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Every encoding over every key of the file.
void ReadEveryKey(const TIniFile& ini) {
  for (const std::string& section : ini.SectionNames()) {
    for (const std::string& key : ini.KeyNames(section)) {
      Check(ini.ReadString(section, key, "").size() <= TIniFile::kMaxValueLength);
      (void)ini.ReadInteger(section, key, 0);
      (void)ini.ReadFloat(section, key, 0);
      (void)ini.ReadChar(section, key, 'x');
      TFontSpec font;
      ReadFontKey(ini, section, key, font);
      std::vector<std::string> list;
      ReadCountedList(ini, section, key, list);
    }
  }
}

std::string WrittenSettings(const TProgramSettings& settings) {
  TIniFile written;
  WriteSettingsTo(written, settings);
  return written.Text();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool initialised = [] {
    InstallMessageHandler(std::make_unique<TSilentMessages>());
    SetNumberFormat({'.', ','});
    return true;
  }();
  (void)initialised;
  std::string_view text(reinterpret_cast<const char*>(data), size);

  TIniFile ini = TIniFile::Parse(text);
  std::string modelText = ini.Text();
  Check(TIniFile::Parse(modelText).Text() == modelText);
  ReadEveryKey(ini);
  std::vector<TCharSet> groups;
  (void)ParseEqualChars(text, TCharCoding(), groups);

  // The settings reader, kept away from files the input might name. What it wrote, read into
  // fresh settings, is written again unchanged.
  ini.DeleteKey("FrequencyConfiguration", "StopListFileName");
  TProgramSettings settings;
  ReadSettingsFrom(ini, settings);
  std::string first = WrittenSettings(settings);
  TProgramSettings again;
  ReadSettingsFrom(TIniFile::Parse(first), again);
  Check(WrittenSettings(again) == first);
  return 0;
}
