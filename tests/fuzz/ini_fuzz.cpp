// Feeds arbitrary bytes to the INI reader and the readers built on it: the settings, a workspace
// file's corpus list and an index state file. Checks that nothing crashes, that the model's text
// is a fixed point (parse(text(m)) gives text(m) again), that settings written and read back are
// written again unchanged, that a workspace lists only full names, and that a complete index
// state written and read back is the same state.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzKit.h"
#include "config/FontValue.h"
#include "config/ProgramSettings.h"
#include "config/SettingsFile.h"
#include "config/Workspace.h"
#include "corpus/IndexState.h"
#include "platform/IniFile.h"
#include "platform/Messages.h"
#include "platform/NumberFormat.h"
#include "settings/Settings.h"

namespace {

using namespace quenterra;

using fuzz::Check;

// Every encoding over every key of the file.
void ReadEveryKey(const TIniFile& ini) {
  for (const std::string& section : ini.SectionNames()) {
    for (const std::string& key : ini.KeyNames(section)) {
      Check(ini.ReadString(section, key, "").size() <= TIniFile::kMaxValueLength);
      (void)ini.ReadInteger(section, key, 0);
      (void)ini.ReadFloat(section, key, 0);
      (void)ini.ReadChar(section, key, 'x');
      TFontChoice font;
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
    InstallMessageHandler(std::make_unique<fuzz::TSilentMessages>());
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

  // As a workspace file: its corpus files, relative names taken inside its folder.
  const std::string workspace = fuzz::FuzzDir() + "w.qws";
  fuzz::WriteAll(workspace, text);
  for (const std::string& name : ReadWorkspaceFiles(workspace)) Check(name.front() == '/');

  // As an index state file.
  TIndexState state = ParseIndexState(text);
  if (state.complete) Check(ParseIndexState(IndexStateText(state)) == state);
  return 0;
}
