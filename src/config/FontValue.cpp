#include "config/FontValue.h"

#include <algorithm>

namespace quenterra {

namespace {

// Face names have at most 31 characters; a longer one could push the numbers of a font value past
// what a value reads back.
constexpr size_t kMaxFaceName = 31;

}  // namespace

void ParseFontValue(std::string_view value, TFontChoice& font) {
  if (value.empty()) return;
  size_t end = value.find_first_of(",:;");
  font.name = std::string(value.substr(0, std::min(end, kMaxFaceName)));
  int32_t fields[4] = {0, 0, 0, 0};
  for (int32_t& field : fields) {
    if (end == std::string_view::npos) break;
    value.remove_prefix(end + 1);
    end = value.find_first_of(" ,:;");
    if (!ParseProfileInteger(value.substr(0, end), field)) field = 0;
  }
  font.size = fields[0];
  font.style = static_cast<uint8_t>(fields[1] & 0xFF);
  font.color = fields[2];
  font.charset = fields[3];
}

std::string FormatFontValue(const TFontChoice& font) {
  return font.name + "," + std::to_string(font.size) + "," + std::to_string(font.style) + "," +
         std::to_string(font.color) + "," + std::to_string(font.charset);
}

void ReadFontKey(const TIniFile& file, std::string_view section, std::string_view key,
                 TFontChoice& font) {
  ParseFontValue(file.ReadString(section, key, ""), font);
}

void WriteFontKey(TIniFile& file, std::string_view section, std::string_view key,
                  const TFontChoice& font) {
  file.WriteString(section, key, FormatFontValue(font));
}

}  // namespace quenterra
