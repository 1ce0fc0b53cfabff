#include "settings/MetaTags.h"

#include <gtest/gtest.h>

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;

TEST(MetaTags, RowsBecomeMetaTagsAndBack) {
  EXPECT_EQ(SplitMetaTagContents("nn, nns , ,np"), (Strings{"nn", "nns", "np"}));
  EXPECT_TRUE(SplitMetaTagContents(" , ").empty());
  EXPECT_EQ(JoinMetaTagContents({"nn", "nns"}), "nn, nns");
  EXPECT_EQ(JoinMetaTagContents({"nn", "nns"}, ","), "nn,nns");
  // Only rows with a name and contents count; a meta-tag without patterns keeps its row.
  EXPECT_EQ(
      MetaTagsFromRows(
          {{" Noun ", "nn, nns"}, {"", "x"}, {"Adj", " "}, {"None", JoinMetaTagContents({})}}),
      (std::vector<TMetaTag>{{"Noun", {"nn", "nns"}}, {"None", {}}}));
  EXPECT_EQ(MetaTagRows({}), std::vector<TMetaTagRow>(1));
  EXPECT_EQ(MetaTagRows({{"Noun", {"nn", "nns"}}, {"Verb", {"vb"}}}),
            (std::vector<TMetaTagRow>{{"Noun", "nn, nns"}, {"Verb", "vb"}}));
}

}  // namespace
}  // namespace quenterra
