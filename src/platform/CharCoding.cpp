#include "platform/CharCoding.h"

#include <cstdint>
#include <cstring>

namespace quenterra {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

int DecodeUtf8(const unsigned char* p, const unsigned char* end, char32_t& c) {
  if (p >= end) return 0;
  const unsigned char lead = p[0];
  if (lead < 0x80) {
    c = lead;
    return 1;
  }
  int length = 0;
  char32_t min = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    min = 0x80;
    c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    min = 0x800;
    c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    min = 0x10000;
    c = lead & 0x07;
  } else {
    return 0;  // a continuation byte, or a lead byte that only overlong forms use
  }
  if (end - p < length) return 0;
  for (int i = 1; i < length; ++i) {
    if (!IsContinuation(p[i])) return 0;
    c = (c << 6) | (p[i] & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return length;
}

int EncodeUtf8(char32_t c, char* out) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacementChar;
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

void AppendUtf8(std::string& out, char32_t c) {
  char bytes[4];
  out.append(bytes, static_cast<size_t>(EncodeUtf8(c, bytes)));
}

bool IsValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* end = p + text.size();
  while (p < end) {
    // Text is mostly ASCII: eight bytes at a time while none has its high bit set.
    if (end - p >= 8) {
      uint64_t eight;
      std::memcpy(&eight, p, 8);
      if ((eight & 0x8080808080808080u) == 0) {
        p += 8;
        continue;
      }
    }
    if (*p < 0x80) {
      ++p;
      continue;
    }
    char32_t c;
    const int length = DecodeUtf8(p, end, c);
    if (length == 0) return false;
    p += length;
  }
  return true;
}

std::string_view WithoutUtf8Bom(std::string_view text) {
  if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
  return text;
}

TCharCoding TCharCoding::Utf8(const std::array<char32_t, 256>& fallback) {
  TCharCoding coding;
  coding.utf8_ = true;
  coding.fallback_ = fallback;
  return coding;
}

TChar TCharCoding::NextMultiByte(std::string_view text, size_t& pos) const {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + pos;
  const auto* end = reinterpret_cast<const unsigned char*>(text.data()) + text.size();
  char32_t c;
  const int length = DecodeUtf8(p, end, c);
  if (length == 0) {
    ++pos;
    return fallback_[*p];
  }
  pos += static_cast<size_t>(length);
  return c;
}

void TCharCoding::Append(std::string& out, TChar c) const {
  if (utf8_) {
    AppendUtf8(out, c);
  } else {
    out += c < 256 ? static_cast<char>(c) : '?';
  }
}

std::string TCharCoding::Encode(TChar c) const {
  std::string out;
  Append(out, c);
  return out;
}

std::u32string TCharCoding::Decode(std::string_view text) const {
  std::u32string chars;
  chars.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) chars += Next(text, pos);
  return chars;
}

TChar TCharCoding::First(std::string_view text) const {
  size_t pos = 0;
  return text.empty() ? 0 : Next(text, pos);
}

size_t TCharCoding::Length(std::string_view text) const {
  size_t count = 0;
  for (size_t pos = 0; pos < text.size(); ++count) Next(text, pos);
  return count;
}

TCharSet CharSetOf(std::string_view text, const TCharCoding& coding) {
  TCharSet set;
  for (size_t pos = 0; pos < text.size();) set.Add(coding.Next(text, pos));
  return set;
}

}  // namespace quenterra
