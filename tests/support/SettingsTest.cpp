#include "support/SettingsTest.h"

#include "platform/Progress.h"

namespace quenterra::test {

TProgramSettings EnglishSettings() {
  TProgramSettings settings;
  settings.global.Language = TGlobalSettings::kEnglishUS;
  settings.RebuildTables();
  return settings;
}

void TSettingsTest::UseCodePage() {
  settings_.global.Encoding = TCorpusEncoding::kCodePage;
  settings_.RebuildTables();
}

void TSettingsTest::SetUp() { messages_ = ScriptedMessages::Install(); }

void TSettingsTest::TearDown() {
  InstallMessageHandler(nullptr);
  InstallProgressFactory(nullptr);
}

}  // namespace quenterra::test
