#include "support/StoredSettingsTest.h"

#include "settings/ExtractHistory.h"
#include "settings/Settings.h"
#include "corpus/LangTables.h"
#include "engine/StopList.h"

namespace quenterra::test {

void TStoredSettingsTest::SetUp() {
  ResetSettings();
  messages_ = ScriptedMessages::Install();
}

void TStoredSettingsTest::TearDown() {
  ResetSettings();
  SetCurrentLanguage(0x0409);
  BuildCaseTable();
  RebuildCharTables();
  InstallMessageHandler(nullptr);
}

void TStoredSettingsTest::ResetSettings() {
  Config() = ZuzadovUdirev{};
  FullExtractOptions() = TFullExtractOptions{};
  GlobalSettings() = TGlobalSettings{};
  ExtractHistory() = TExtractHistory{};
  StopList() = TStopList{};
}

}  // namespace quenterra::test
