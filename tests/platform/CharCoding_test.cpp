#include "platform/CharCoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CharType.h"
#include "platform/CodePages.h"
#include "platform/Unicode.h"

namespace quenterra {
namespace {

using namespace std::string_literals;

// What DecodeUtf8 makes of the bytes: "U+XXXX/length", or "invalid".
std::string Decoded(const std::string& bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  char32_t c = 0;
  const int length = DecodeUtf8(p, p + bytes.size(), c);
  if (length == 0) return "invalid";
  char text[32];
  std::snprintf(text, sizeof text, "U+%04X/%d", static_cast<unsigned>(c), length);
  return text;
}

TEST(CharCoding, Utf8DecodesShortestFormsOnly) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a", "U+0061/1"},
      {"\xC3\xA9", "U+00E9/2"},
      {"\xE2\x82\xAC", "U+20AC/3"},
      {"\xF0\x9F\x98\x80", "U+1F600/4"},
      {"\xF4\x8F\xBF\xBF", "U+10FFFF/4"},
      {"\xC3", "invalid"},              // cut off
      {"\xA9", "invalid"},              // a continuation byte alone
      {"\xC0\xAF", "invalid"},          // overlong '/'
      {"\xE0\x80\xAF", "invalid"},      // overlong
      {"\xED\xA0\x80", "invalid"},      // a surrogate
      {"\xF4\x90\x80\x80", "invalid"},  // above U+10FFFF
      {"\xC3(", "invalid"},             // no continuation
  };
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(Decoded(bytes), expected) << bytes;
  EXPECT_TRUE(IsValidUtf8("caf\xC3\xA9 \xE2\x82\xAC"));
  EXPECT_FALSE(IsValidUtf8("caf\xE9"));
  // Long ASCII runs are skipped eight bytes at a time: what follows them is still checked.
  EXPECT_TRUE(IsValidUtf8("abcdefghijklmn\xE2\x82\xAC and more ASCII"));
  EXPECT_FALSE(IsValidUtf8("abcdefghijklmnop\xE9"));
  EXPECT_FALSE(IsValidUtf8("abcdefghijklmno\xE2\x82"));
  std::string out;
  AppendUtf8(out, 0xD800);  // no surrogate is ever written
  AppendUtf8(out, 0x110000);
  EXPECT_EQ(out, "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(WithoutUtf8Bom("\xEF\xBB\xBFword"), "word");
}

TEST(CharCoding, CodePageBytesAreCharactersAndUtf8FallsBackToTheCodePage) {
  const TCharCoding bytes;
  EXPECT_EQ(bytes.Decode("a\xE9\xC3\xA9"), U"a\u00E9\u00C3\u00A9");  // byte values
  EXPECT_EQ(bytes.Encode(0xE9), "\xE9");
  EXPECT_EQ(bytes.Encode(0x20AC), "?");  // no byte holds it

  codepage::TByteFacts facts;
  ASSERT_TRUE(codepage::ReadByteFacts(0x0409, facts));
  const TCharCoding utf8 = TCharCoding::Utf8(facts.decode);
  // Valid sequences are code points; other bytes are read as code page 1252 reads them.
  EXPECT_EQ(utf8.Decode("caf\xC3\xA9 caf\xE9 \x80\xC3"), U"caf\u00E9 caf\u00E9 \u20AC\u00C3");
  EXPECT_EQ(utf8.Length("\xE4\xB8\xAD\xE6\x96\x87"), 2u);
  EXPECT_EQ(utf8.First("\xC3\xA9t\xC3\xA9"), U'\u00E9');
  EXPECT_EQ(utf8.Encode(U'\u4E2D'), "\xE4\xB8\xAD");
  const TCharSet set = CharSetOf("a\xC2\xAB\xE2\x80\x94", utf8);  // a « —
  EXPECT_TRUE(set.Contains('a') && set.Contains(0xAB) && set.Contains(0x2014));
  EXPECT_EQ(set.Wide(), std::vector<TChar>{0x2014});
  EXPECT_EQ(set.Members(), (std::vector<TChar>{'a', 0xAB, 0x2014}));
}

// Folding is the simple one, with the Turkic rule on request; classification follows the
// Unicode categories, punctuation and symbols together.
TEST(Unicode, FoldsAndClassifiesCodePoints) {
  EXPECT_EQ(unicode::Fold(U'\u00C9', false), U'\u00E9');          // É
  EXPECT_EQ(unicode::Fold(U'\u03A3', false), U'\u03C3');          // Σ
  EXPECT_EQ(unicode::Fold(U'\u03C2', false), U'\u03C3');          // final ς
  EXPECT_EQ(unicode::Fold(U'\u00DF', false), U'\u00DF');          // ß has no simple folding
  EXPECT_EQ(unicode::Fold(U'\u1E9E', false), U'\u00DF');          // capital ẞ
  EXPECT_EQ(unicode::Fold(U'\u212A', false), U'k');               // Kelvin sign
  EXPECT_EQ(unicode::Fold(U'\U00010400', false), U'\U00010428');  // Deseret, beyond the BMP
  EXPECT_EQ(unicode::Fold(U'I', false), U'i');
  EXPECT_EQ(unicode::Fold(U'I', true), U'\u0131');
  EXPECT_EQ(unicode::Fold(U'\u0130', true), U'i');
  EXPECT_EQ(unicode::Upper(U'i', true), U'\u0130');
  EXPECT_EQ(unicode::Upper(U'\u00E9', false), U'\u00C9');

  EXPECT_EQ(unicode::CharType(U'\u0416'), kCtUpper);                // Ж
  EXPECT_EQ(unicode::CharType(U'\u4E2D'), kCtUpper | kCtLower);     // 中, no case
  EXPECT_EQ(unicode::CharType(U'\u0663'), kCtDigit | kCtHexDigit);  // Arabic-Indic 3
  EXPECT_EQ(unicode::CharType(U'\u2014'), kCtPunct);                // —
  EXPECT_EQ(unicode::CharType(U'\u20AC'), kCtPunct);                // €
  EXPECT_EQ(unicode::CharType(U'\u3000'), kCtSpace | kCtBlank);     // ideographic space
  EXPECT_EQ(unicode::CharType(0xD800), 0);                          // no code point
}

}  // namespace
}  // namespace quenterra
