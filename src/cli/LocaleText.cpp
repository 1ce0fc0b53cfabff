#include "cli/LocaleText.h"

#include <fstream>

#include "platform/CharCoding.h"
#include "platform/CodePages.h"
#include "platform/Errors.h"

namespace quenterra::cli {

const std::string& LocaleCharset() {
  static const std::string charset = codepage::LocaleCharset();
  return charset;
}

std::string ToCorpusText(std::string_view text, const std::string& charset,
                         const TLangTables& tables, const std::string& what) {
  std::string utf8;
  const bool isUtf8 = charset == "UTF-8";
  if (isUtf8 ? !IsValidUtf8(text) : !codepage::CharsetToUtf8(charset, text, utf8))
    throw EQuenterra(what + " is not valid " + charset + " text.");
  return tables.FromUtf8Exact(isUtf8 ? text : utf8);
}

std::string FromLocale(std::string_view text, const TLangTables& tables, const std::string& what) {
  return ToCorpusText(text, LocaleCharset(), tables, what);
}

std::string FromLocaleFile(std::string_view contents, const TLangTables& tables,
                           const std::string& what) {
  if (contents.starts_with(kUtf8Bom))
    return ToCorpusText(WithoutUtf8Bom(contents), "UTF-8", tables, what);
  return FromLocale(contents, tables, what);
}

bool OpensWithUtf8Bom(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  char head[3] = {};
  in.read(head, sizeof head);
  return in.gcount() == sizeof head && std::string_view(head, sizeof head) == kUtf8Bom;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace quenterra::cli
