#include "corpus/TextFileTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ErrorOf.h"
#include "support/ScriptedMessages.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using namespace std::string_literals;
using TVerdict = TTextFileVerdict;

constexpr uint32_t kEnglishUS = 0x0409;

const TLangTables& CodePage() {
  static const TLangTables tables(kEnglishUS, TCorpusEncoding::kCodePage, ZuzadovUdirev{});
  return tables;
}

const TLangTables& Utf8() {
  static const TLangTables tables(kEnglishUS, TCorpusEncoding::kUtf8, ZuzadovUdirev{});
  return tables;
}

// Control bytes in the first 256 decide; zero bytes count too and do not end the count, so that
// UTF-16 without a byte-order mark and compressed files fail.
TEST(TextFileTest, FiveControlOrZeroBytesInTheHeadMakeAFileNoText) {
  test::TTempDir dir;
  const std::vector<std::pair<std::string, bool>> cases = {
      {"", true},
      {"line one\tx\r\n\fline two\n", true},
      {"\x01\x08\x0b text \x1f", true},       // 4
      {"\x01\x08\x0b\x0e text \x7f", false},  // 5
      {"ab\xff\xff\xff\xff\xff", false},
      {"text\0\x01\x01\x01\x01\x01\x01"s, false},
      {"a\0b\0c\0d\0e\0"s, false},                              // UTF-16 without a byte-order mark
      {"\x1f\x8b\x08\0\0\0\0\0\0\x03+\xc9"s, false},            // a gzip header
      {std::string(252, 'a') + std::string(10, '\x01'), true},  // 4 in the head
      {std::string(251, 'a') + std::string(10, '\x01'), false},
  };
  for (const auto& [bytes, text] : cases) {
    const std::string file = dir.Write("f", bytes);
    EXPECT_EQ(TestTextFile(file, CodePage()), text ? TVerdict::kText : TVerdict::kNotText) << bytes;
    EXPECT_EQ(TestTextFile(file, Utf8()), text ? TVerdict::kText : TVerdict::kNotText) << bytes;
  }
  std::string missing = dir.File("missing.txt");
  EXPECT_EQ(test::ErrorOf([&] { TestTextFile(missing, Utf8()); }),
            "Unable to open file: " + missing + ".");
  EXPECT_THROW(TestTextFile(dir.Path().string(), CodePage()), EFileError);
}

// In UTF-8 a file whose non-ASCII bytes are mostly no UTF-8 is a legacy file; in a code page a
// UTF-8 byte-order mark tells a UTF-8 file. UTF-16 is refused in either.
TEST(TextFileTest, EncodingsThatDoNotFitAreAskedAboutAndUtf16IsRefused) {
  test::TTempDir dir;
  const std::string latin1 = dir.Write("latin1", "caf\xE9 na\xEFve \xE9t\xE9 \xE2\x82\xAC");
  const std::string utf8 = dir.Write("utf8", "caf\xC3\xA9 \xE9 na\xC3\xAFve \xC3\xA9t\xC3\xA9");
  const std::string bom = dir.Write("bom", "\xEF\xBB\xBFword");
  const std::string utf16 = dir.Write("utf16", "\xFF\xFEw\0o\0r\0d\0"s);
  const std::string cut = dir.Write("cut", std::string(65535, 'a') + "\xC3\xA9");
  EXPECT_EQ(TestTextFile(latin1, Utf8()), TVerdict::kNotUtf8);
  EXPECT_EQ(TestTextFile(latin1, CodePage()), TVerdict::kText);
  EXPECT_EQ(TestTextFile(utf8, Utf8()), TVerdict::kText);  // mostly valid
  EXPECT_EQ(TestTextFile(cut, Utf8()), TVerdict::kText);   // a character cut by the head's end
  EXPECT_EQ(TestTextFile(bom, Utf8()), TVerdict::kText);
  EXPECT_EQ(TestTextFile(bom, CodePage()), TVerdict::kUtf8InCodePage);
  EXPECT_EQ(TestTextFile(utf16, Utf8()), TVerdict::kUtf16);

  test::ScriptedMessages* messages = test::ScriptedMessages::Install({true, false});
  EXPECT_TRUE(AcceptCorpusFile(latin1, Utf8()));
  EXPECT_FALSE(AcceptCorpusFile(bom, CodePage()));
  EXPECT_TRUE(AcceptCorpusFile(utf8, Utf8()));
  EXPECT_EQ(
      messages->asked,
      (std::vector<std::string>{
          latin1 + "\r\ndoes not seem to be UTF-8 text; what is not UTF-8 will be read as "
                   "code page 1252. Open anyway?",
          bom + "\r\nis UTF-8 text, but the corpus is read in code page 1252. Open anyway?"}));
  EXPECT_EQ(test::ErrorOf([&] { AcceptCorpusFile(utf16, Utf8()); }),
            "Unable to read UTF-16 text: " + utf16 + ". Convert it to UTF-8 first.");
}

}  // namespace
}  // namespace quenterra
