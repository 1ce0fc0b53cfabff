// A fixture for tests that need settings or answer questions. Every test gets settings of its
// own, the defaults in US English with their tables, and a scripted message handler; afterwards
// the message handler and the progress factory are put back.
#pragma once

#include <gtest/gtest.h>

#include "config/ProgramSettings.h"
#include "support/ScriptedMessages.h"

namespace quenterra::test {

// The default settings in US English, whatever the locale of the machine that runs the tests.
TProgramSettings EnglishSettings();

class TSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A test that changes what shapes the tables (ignoreCase, NonWordChars, the equal
  // characters, the language) calls settings_.RebuildTables() before the tables are used.
  TProgramSettings settings_ = EnglishSettings();
  // The corpus in code page 1252 instead of UTF-8, for tests of what the encoding cannot hold.
  void UseCodePage();
  ScriptedMessages* messages_ = nullptr;  // installed for each test
};

}  // namespace quenterra::test
