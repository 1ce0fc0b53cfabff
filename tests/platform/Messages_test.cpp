#include "platform/Messages.h"

#include <gtest/gtest.h>

#include "support/ScriptedMessages.h"

namespace quenterra {
namespace {

TEST(Messages, ScriptedHandlerRecordsQuestionsAndAnswers) {
  auto scripted = test::ScriptedMessages::Install({true, false});
  EXPECT_TRUE(MsgAsk("First?"));
  EXPECT_FALSE(MsgConfirm("Second?"));
  MsgError("Broken.");
  EXPECT_EQ(scripted->asked, (std::vector<std::string>{"First?", "Second?"}));
  EXPECT_EQ(scripted->errors, (std::vector<std::string>{"Broken."}));
}

TEST(Messages, DefaultHandlerTakesTheFocusedAnswer) {
  InstallMessageHandler(nullptr);
  EXPECT_TRUE(MsgAsk("Go on?", true));
  EXPECT_FALSE(MsgWarn("Really?", false));
  std::string value = "x";
  EXPECT_FALSE(InputQuery("Caption", "Prompt", value));
  EXPECT_EQ(value, "");
}

}  // namespace
}  // namespace quenterra
