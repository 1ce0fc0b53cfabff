// Every test of the executable starts with US English tables built from default settings,
// whatever the locale of the machine that runs it.
#include <gtest/gtest.h>

#include "corpus/LangTables.h"

namespace quenterra::test {
namespace {

class LanguageEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    InitLanguage();
    SetCurrentLanguage(0x0409);
    BuildCaseTable();
    RebuildCharTables();
  }
};

[[maybe_unused]] ::testing::Environment* const kLanguageEnvironment =
    ::testing::AddGlobalTestEnvironment(new LanguageEnvironment);

}  // namespace
}  // namespace quenterra::test
