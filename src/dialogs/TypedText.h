// Text crosses between the dialogs and the settings here, and only here: what the user types
// arrives as UTF-8, while the settings, patterns and stop words hold text in the corpus encoding
// of the language tables (UTF-8 or a code page). Going through the tables' own conversions keeps
// every dialog in step with whatever encoding the tables have.
#pragma once

#include <string>
#include <string_view>

#include "corpus/LangTables.h"

namespace quenterra {

// The typed text in the corpus encoding. Throws EUnencodable ("The character "<c>" cannot be
// written in code page <n>.") for a character the encoding cannot hold; a field refuses such a
// character as it is typed.
std::string EncodeTyped(std::string_view utf8, const TLangTables& tables);

// Whether a field may hold the typed text: every character fits the corpus encoding and, for a
// one-character field (oneChar), the text is empty or a single character.
bool TypedTextFits(std::string_view utf8, bool oneChar, const TLangTables& tables);

// Text of the corpus encoding as a field shows it (UTF-8).
inline std::string ShownText(std::string_view encoded, const TLangTables& tables) {
  return tables.ToUtf8(encoded);
}

}  // namespace quenterra
