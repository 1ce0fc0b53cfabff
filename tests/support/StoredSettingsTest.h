// A fixture for tests that change the stored settings or answer questions: every test starts and
// ends with the defaults and a scripted message handler.
#pragma once

#include <gtest/gtest.h>

#include "support/ScriptedMessages.h"

namespace quenterra::test {

// Puts back the defaults of everything the settings file holds (the settings object, the full
// extract options, the global settings, the extract histories, the stop list), the US English
// tables built from them and the message handler.
class TStoredSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The defaults of everything the settings file holds, tables not rebuilt.
  static void ResetSettings();

  ScriptedMessages* messages_ = nullptr;  // installed for each test
};

}  // namespace quenterra::test
