#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/Errors.h"
#include "platform/NumberFormat.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

TEST(IniFile, SectionsAndKeysIgnoreCaseAndBlanks) {
  TIniFile ini =
      TIniFile::Parse("[General]\r\n  Key1 =  value one  \r\nkey2=a=b\n[ other ]\rX=1\n");
  EXPECT_EQ(ini.ReadString("GENERAL", "KEY1", "?"), "value one");
  EXPECT_EQ(ini.ReadString("general", "Key2", "?"), "a=b");  // splits at the first '='
  EXPECT_EQ(ini.ReadInteger("Other", "x", 0), 1);            // lone CR ends a line too
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"General", "other"}));
  EXPECT_EQ(ini.ReadString("General", "missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("Missing", "Key1", "dflt"), "dflt");
}

TEST(IniFile, MalformedLinesAreIgnoredAndDuplicatesMerge) {
  TIniFile ini = TIniFile::Parse(
      "orphan=1\n[A]\nno equals sign\n=empty key\n; comment\nk=first\nK=second\n"
      "[B]\nb=1\n[a]\nk=third\nnew=4\n[]\nlost=5\n[unclosed\nu=6\n");
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"A", "B", "unclosed"}));
  EXPECT_EQ(ini.KeyNames("A"), (std::vector<std::string>{"k", "new"}));
  EXPECT_EQ(ini.ReadString("a", "k", ""), "first");
  EXPECT_EQ(ini.ReadInteger("unclosed", "u", 0), 6);
  EXPECT_FALSE(ini.ValueExists("A", "lost"));
  // Written back, every section and key is unique.
  EXPECT_EQ(ini.Text(), "[A]\nk=first\nnew=4\n\n[B]\nb=1\n\n[unclosed]\nu=6\n");
}

TEST(IniFile, ValuesReadBackAsAtMost2047CharactersUpToAZeroByte) {
  TIniFile ini;
  ini.WriteString("S", "long", std::string(5000, 'x'));
  ini.WriteString("S", "zero", std::string("ab\0cd", 5));
  EXPECT_EQ(ini.ReadString("S", "long", "").size(), 2047u);
  EXPECT_EQ(ini.ReadString("S", "zero", ""), "ab");
  // Where the cut falls after a blank, the blank goes too, so the value reads back as written.
  ini.WriteString("S", "cut", std::string(2046, 'x') + "\tyz");
  ini.WriteString("S", "zero2", std::string("ab \0cd", 6));
  EXPECT_EQ(ini.ReadString("S", "cut", ""), std::string(2046, 'x'));
  EXPECT_EQ(ini.ReadString("S", "zero2", ""), "ab");
}

TEST(IniFile, OnePairOfQuotesComesOffAndKeepsBlanksThatAreWrittenBack) {
  TIniFile read = TIniFile::Parse("[S]\na= \"<w \" \nb='x'\nc=\"\nd=\"x'\ne=\"\"q\"\"\n");
  EXPECT_EQ(read.ReadString("S", "a", ""), "<w ");
  EXPECT_EQ(read.ReadString("S", "b", ""), "x");
  EXPECT_EQ(read.ReadString("S", "c", ""), "\"");    // one quote is no pair
  EXPECT_EQ(read.ReadString("S", "d", ""), "\"x'");  // nor are two different ones
  EXPECT_EQ(read.ReadString("S", "e", ""), "\"q\"");
  TIniFile written;
  const std::vector<std::string> values = {"<w ", "\tlead", "'s'", "\"q\"", "plain", "", "a \"b\""};
  for (size_t i = 0; i < values.size(); ++i) written.WriteString("S", std::to_string(i), values[i]);
  EXPECT_EQ(written.Text(),
            "[S]\n0=\"<w \"\n1=\"\tlead\"\n2=\"'s'\"\n3=\"\"q\"\"\n4=plain\n5=\n6=a \"b\"\n");
  TIniFile back = TIniFile::Parse(written.Text());
  for (size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(back.ReadString("S", std::to_string(i), "?"), values[i]) << i;
}

TEST(IniFile, WritingReplacesInPlaceAndLineBreaksCannotInjectKeys) {
  TIniFile ini;
  ini.WriteString("S", "a", "1");
  ini.WriteString("S", "b", "2");
  ini.WriteString("s", "A", "3");
  ini.WriteString("S", "evil", "x\n[Injected]\ny=1");
  EXPECT_EQ(ini.Text(), "[S]\na=3\nb=2\nevil=x\n");
  ini.DeleteKey("S", "B");
  ini.EraseSection("missing");
  EXPECT_EQ(ini.KeyNames("S"), (std::vector<std::string>{"a", "evil"}));
  ini.EraseSection("s");
  EXPECT_EQ(ini.Text(), "");
}

TEST(IniFile, IntegersAreDecimalOrHexadecimal) {
  TIniFile ini = TIniFile::Parse(
      "[S]\nd=-42\nh1=0x1F\nh2=$ff\nh3=$FFFFFFFF\nplus=+7\nmax=2147483647\nmin=-2147483648\n"
      "over=2147483648\nhexover=0x100000000\nbad=12a\nempty=\nspace=1 2\nsign=-\n");
  const std::pair<const char*, int32_t> read[] = {
      {"d", -42},         {"h1", 31},         {"h2", 255}, {"h3", -1},
      {"max", INT32_MAX}, {"min", INT32_MIN}, {"plus", 7}};
  for (const auto& [key, value] : read) EXPECT_EQ(ini.ReadInteger("S", key, 0), value) << key;
  for (const char* key : {"over", "hexover", "bad", "empty", "space", "sign", "missing"})
    EXPECT_EQ(ini.ReadInteger("S", key, 99), 99) << key;
}

TEST(IniFile, BooleansCharactersAndFloats) {
  const TNumberFormat userFormat = NumberFormat();
  SetNumberFormat({'.', ','});
  TIniFile ini = TIniFile::Parse("[S]\nt=5\nf=0\nbad=yes\nc=xyz\nempty=\nfl=0,25\ndot=0.25\n");
  EXPECT_TRUE(ini.ReadBool("S", "t", false));
  EXPECT_FALSE(ini.ReadBool("S", "f", true));
  EXPECT_TRUE(ini.ReadBool("S", "bad", true));
  EXPECT_EQ(ini.ReadChar("S", "c", '?'), 'x');
  EXPECT_EQ(ini.ReadChar("S", "empty", '?'), '\0');
  EXPECT_EQ(ini.ReadChar("S", "missing", '?'), '?');
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "fl", 9), 0.25);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "dot", 9), 0.25);  // written under another locale
  ini.WriteFloat("S", "w", 1.5);
  ini.WriteChar("S", "nul", '\0');
  ini.WriteBool("S", "b", true);
  EXPECT_EQ(*ini.Find("S", "w"), "1,5");
  EXPECT_EQ(*ini.Find("S", "nul"), "");
  EXPECT_EQ(*ini.Find("S", "b"), "1");
  SetNumberFormat(userFormat);
}

TEST(IniFile, CountedListKeysArePaddedByTheCount) {
  const std::tuple<size_t, size_t, const char*> cases[] = {
      {0, 1, "File0"},         {9, 10, "File9"},        {0, 11, "File00"},     {10, 11, "File10"},
      {99, 100, "File99"},     {5, 500, "File05"},      {100, 500, "File100"}, {99, 2000, "File99"},
      {100, 2000, "File0100"}, {1999, 2000, "File1999"}};
  for (const auto& [index, count, key] : cases)
    EXPECT_EQ(CountedListKey("File", index, count), key) << index << " of " << count;
}

TEST(IniFile, CountedListsRoundTripReadWithoutCountAndStopAt10000) {
  for (size_t n : {0u, 1u, 10u, 11u, 100u, 101u, 500u, 2000u}) {
    std::vector<std::string> list;
    for (size_t i = 0; i < n; ++i) list.push_back("w" + std::to_string(i));
    TIniFile ini;
    WriteCountedList(ini, "L", "File", list);
    std::vector<std::string> back = {"stale"};
    ReadCountedList(TIniFile::Parse(ini.Text()), "L", "File", back);
    EXPECT_EQ(back, list) << n;
  }
  TIniFile ini = TIniFile::Parse("[L]\nFile00=a\nFile01=b\nFile02=\nFile03=d\nFile20=late\n");
  std::vector<std::string> list;
  ReadCountedList(ini, "L", "File", list);
  EXPECT_EQ(list, (std::vector<std::string>{"a", "b", "d"}));  // 00..19 tried, empties skipped
  ReadCountedList(TIniFile::Parse("[L]\nFileCount=-5\nFile0=a\n"), "L", "File", list);
  EXPECT_TRUE(list.empty());
  ReadCountedList(TIniFile::Parse("[L]\nFileCount=2000000000\nFile00=a\n"), "L", "File", list);
  EXPECT_EQ(list, (std::vector<std::string>{"a"}));  // at most 10000 entries are looked at

  TIniFile written;  // and at most 10000 are written
  WriteCountedList(written, "L", "W", std::vector<std::string>(10005, "x"));
  EXPECT_EQ(written.ReadInteger("L", "WCount", 0), 10000);
  EXPECT_TRUE(written.ValueExists("L", "W9999"));
  EXPECT_FALSE(written.ValueExists("L", "W10000"));
}

class IniFileOnDisk : public ::testing::Test {
 protected:
  test::TTempDir temp_;
  const std::filesystem::path& dir_ = temp_.Path();
};

TEST_F(IniFileOnDisk, SaveReplacesTheFileWholeKeepsItsModeAndNeedsItsFolder) {
  std::string name = (dir_ / "a.ini").string();
  EXPECT_EQ(TIniFile::Load(name).Text(), "");  // missing: empty
  TIniFile ini;
  ini.WriteString("S", "k", "v");
  ini.Save(name);
  std::filesystem::permissions(
      name, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ini.WriteString("S", "k", "w");
  ini.Save(name);
  EXPECT_EQ(TIniFile::Load(name).ReadString("S", "k", ""), "w");
  EXPECT_EQ(std::filesystem::status(name).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);  // no leftovers
  EXPECT_THROW(ini.Save((dir_ / "missing" / "a.ini").string()), EFileError);
  EXPECT_THROW(TIniFile::Load(dir_.string()), EFileError);
}

TEST_F(IniFileOnDisk, SaveThroughASymlinkReplacesTheTarget) {
  std::string target = (dir_ / "real.ini").string();
  std::string link = (dir_ / "link.ini").string();
  std::ofstream(target) << "[S]\nk=old\n";
  std::filesystem::create_symlink(target, link);
  TIniFile ini = TIniFile::Load(link);
  ini.WriteString("S", "k", "new");
  ini.Save(link);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(TIniFile::Load(target).ReadString("S", "k", ""), "new");
}

}  // namespace
}  // namespace quenterra
