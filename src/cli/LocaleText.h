// Text that the user gives on the command line or in a file named there (patterns, batch files,
// stop lists, --set values) is in the character set of the user's locale; the core works in the
// corpus encoding. These convert at that edge and refuse, with a clear message, what the corpus
// encoding cannot hold. A file that opens with a UTF-8 byte-order mark is UTF-8 whatever the
// locale says.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "corpus/LangTables.h"

namespace quenterra::cli {

// The locale's character set, once per run (platform/CodePages.h, LocaleCharset).
const std::string& LocaleCharset();

// Converts text of `charset` to the corpus encoding of `tables`. Throws EQuenterra "<what> is not
// valid <charset> text." when its bytes form no text of the set, and EUnencodable when the
// corpus encoding lacks one of its characters.
std::string ToCorpusText(std::string_view text, const std::string& charset,
                         const TLangTables& tables, const std::string& what);
// The same for text of the locale's character set.
std::string FromLocale(std::string_view text, const TLangTables& tables, const std::string& what);
// The same for the contents of a file: without its byte-order mark, as UTF-8 when it has one.
std::string FromLocaleFile(std::string_view contents, const TLangTables& tables,
                           const std::string& what);

// Whether the file opens with a UTF-8 byte-order mark (false when it cannot be read).
bool OpensWithUtf8Bom(const std::string& fileName);

// The lines of a text, line ends of either kind.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace quenterra::cli
