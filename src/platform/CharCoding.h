// How the corpus encoding turns bytes into characters and back. In a code page every byte is one
// character, its own value (TChar 0..255). In UTF-8 a character is a code point; a byte that starts
// no valid UTF-8 sequence is read as the language's code page would read it, so legacy and mixed
// files still read. Settings, patterns and corpus text all go through the same coding.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/CharSet.h"

namespace quenterra {

// The encoding corpus text is read in: UTF-8, or the code page of the corpus language.
enum class TCorpusEncoding : uint8_t { kCodePage, kUtf8 };

// The byte-order marks that may open a text file.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// The character that stands for bytes that form no character.
inline constexpr char32_t kReplacementChar = 0xFFFD;

// The UTF-8 sequence at p (never reading at or past end): its length 1..4 with its code point in
// c, or 0 when the bytes there are no valid sequence (an overlong form, a surrogate, a code point
// above U+10FFFF, a stray continuation byte, a sequence cut off by end).
int DecodeUtf8(const unsigned char* p, const unsigned char* end, char32_t& c);
// Writes a code point as UTF-8 into out (room for 4 bytes) and returns its length; surrogates and
// values above U+10FFFF become U+FFFD.
int EncodeUtf8(char32_t c, char* out);
// Appends a code point as EncodeUtf8 writes it.
void AppendUtf8(std::string& out, char32_t c);
// Whether text is valid UTF-8 throughout.
bool IsValidUtf8(std::string_view text);
// Text without a UTF-8 byte-order mark at its start.
std::string_view WithoutUtf8Bom(std::string_view text);

class TCharCoding {
 public:
  // A code page: every byte is one character.
  TCharCoding() = default;
  // UTF-8, reading a byte that starts no valid sequence as the character `fallback` gives it
  // (the code page's decoding; U+FFFD where the code page has none).
  static TCharCoding Utf8(const std::array<char32_t, 256>& fallback);

  bool IsUtf8() const { return utf8_; }
  TCorpusEncoding Encoding() const {
    return utf8_ ? TCorpusEncoding::kUtf8 : TCorpusEncoding::kCodePage;
  }

  // The character that starts at text[pos] (pos < text.size()); pos moves past its bytes.
  TChar Next(std::string_view text, size_t& pos) const {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (!utf8_ || byte < 0x80) {
      ++pos;
      return byte;
    }
    return NextMultiByte(text, pos);
  }
  // The character of an invalid byte in UTF-8: what the code page makes of it.
  TChar Fallback(unsigned char byte) const { return fallback_[byte]; }

  // Appends the bytes of a character. A code page holds only characters 0..255; any other
  // becomes '?'.
  void Append(std::string& out, TChar c) const;
  std::string Encode(TChar c) const;
  // The characters of text, in order.
  std::u32string Decode(std::string_view text) const;
  // The first character of text; 0 when text is empty.
  TChar First(std::string_view text) const;
  // How many characters text holds.
  size_t Length(std::string_view text) const;

  bool operator==(const TCharCoding&) const = default;

 private:
  TChar NextMultiByte(std::string_view text, size_t& pos) const;

  bool utf8_ = false;
  std::array<char32_t, 256> fallback_{};
};

// The set of the characters of text.
TCharSet CharSetOf(std::string_view text, const TCharCoding& coding);

}  // namespace quenterra
