#include "dialogs/TypedText.h"

namespace quenterra {

std::string EncodeTyped(std::string_view utf8, const TLangTables& tables) {
  return tables.FromUtf8Exact(utf8);
}

bool TypedTextFits(std::string_view utf8, bool oneChar, const TLangTables& tables) {
  try {
    const std::string encoded = EncodeTyped(utf8, tables);
    return !oneChar || tables.Coding().Decode(encoded).size() <= 1;
  } catch (const EUnencodable&) {
    return false;
  }
}

}  // namespace quenterra
