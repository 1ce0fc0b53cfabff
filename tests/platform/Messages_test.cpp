#include "platform/Messages.h"

#include <gtest/gtest.h>

namespace quenterra {
namespace {

// Without a front-end every question takes the answer that has the focus and input is cancelled.
TEST(Messages, DefaultHandlerTakesTheFocusedAnswer) {
  InstallMessageHandler(nullptr);
  EXPECT_TRUE(MsgAsk("Go on?", true));
  EXPECT_FALSE(MsgWarn("Really?", false));
  EXPECT_TRUE(MsgConfirm("Sure?", true));
  std::string value = "x";
  EXPECT_FALSE(InputQuery("Caption", "Prompt", value));
  EXPECT_EQ(value, "");
}

}  // namespace
}  // namespace quenterra
