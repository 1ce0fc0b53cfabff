#include "corpus/IndexState.h"

#include <gtest/gtest.h>

#include <string>

#include "support/SettingsTest.h"

namespace quenterra {
namespace {

const TIndexState kState = {
    true,
    {{{"a.txt", 10, 1700000000123456789, 1234}, {"/abs/b.txt", 20, -5, 5678}}, "0123456789abcdef"},
    {16400, 0xE3069283},
    {512, 0xABCD},
    "12:1700000000000000001:1700000000000000002",
    ""};

TEST(IndexState, WrittenAsDocumentedAndReadBack) {
  const std::string text = IndexStateText(kState);
  EXPECT_EQ(text,
            "[Index]\n"
            "Complete=1\n"
            "Tokenisation=0123456789abcdef\n"
            "SeqSize=16400\n"
            "SeqCrc32c=e3069283\n"
            "SeqStamp=12:1700000000000000001:1700000000000000002\n"
            "PageSize=512\n"
            "PageCrc32c=0000abcd\n"
            "FileCount=2\nFile0=a.txt\nFile1=/abs/b.txt\n"
            "SizeCount=2\nSize0=10\nSize1=20\n"
            "ModifiedCount=2\nModified0=1700000000123456789\nModified1=-5\n"
            "InodeCount=2\nInode0=1234\nInode1=5678\n");
  EXPECT_EQ(ParseIndexState(text), kState);
}

// A state that cannot be read whole is never complete: lists that disagree, a number that is not
// one, a checksum missing.
TEST(IndexState, WhatCannotBeReadIsIncomplete) {
  const std::string text = IndexStateText(kState);
  for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
           {"SizeCount=2", "SizeCount=1"},
           {"Inode1=5678", "Inode1=56x8"},
           {"PageCrc32c=0000abcd\n", ""},
           {"Complete=1", "Complete=0"},
           {"Modified0=1700000000123456789", "Modified0="}}) {
    std::string damaged = text;
    damaged.replace(damaged.find(from), from.size(), to);
    EXPECT_FALSE(ParseIndexState(damaged).complete) << from;
  }
  EXPECT_FALSE(ParseIndexState("").complete);
}

TEST(IndexState, TheFingerprintFollowsTheSplittingSettingsOnly) {
  TProgramSettings settings = test::EnglishSettings();
  const std::string base = TokenisationFingerprint(settings.config, settings.tables);
  settings.config.SpanRange = 9;
  settings.config.Min_Word_Freq = 7;
  EXPECT_EQ(TokenisationFingerprint(settings.config, settings.tables), base);
  settings.config.ignoreCase = false;
  settings.RebuildTables();
  EXPECT_NE(TokenisationFingerprint(settings.config, settings.tables), base);
}

}  // namespace
}  // namespace quenterra
