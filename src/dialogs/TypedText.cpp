#include "dialogs/TypedText.h"

namespace quenterra {

std::optional<std::string> EncodeTyped(std::string_view utf8, const TLangTables& tables) {
  std::string encoded = tables.FromUtf8(utf8);
  // A character the encoding lacks comes out as a stand-in ('?', a best fit), which does not
  // read back as what was typed.
  if (tables.ToUtf8(encoded) != utf8) return std::nullopt;
  return encoded;
}

std::string UnencodableMessage(std::string_view utf8, const TLangTables& tables) {
  for (size_t at = 0; at < utf8.size();) {
    // The length of the UTF-8 sequence that starts here (a stray byte stands alone).
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const std::string_view character = utf8.substr(at, length);
    if (!EncodeTyped(character, tables)) {
      return "The character \"" + std::string(character) + "\" cannot be written in code page " +
             std::to_string(tables.CodePage()) + ".";
    }
    at += character.size();
  }
  return "";
}

bool TypedTextFits(std::string_view utf8, bool oneChar, const TLangTables& tables) {
  std::optional<std::string> encoded = EncodeTyped(utf8, tables);
  return encoded && (!oneChar || encoded->size() <= 1);
}

}  // namespace quenterra
