// The text-file test: what the main window checks before a file joins the corpus, and the
// question it asks about a file that fails. It looks at the file's first bytes only.
#pragma once

#include <cstdint>
#include <string>

#include "corpus/LangTables.h"
#include "corpus/SynStream.h"

namespace quenterra {

inline constexpr char kNotTextFileQuestion[] = "does not seem to be a text file. Open anyway?";

enum class TTextFileVerdict : uint8_t {
  kText,
  kNotText,         // too many control or zero bytes
  kUtf16,           // opens with a UTF-16 byte-order mark
  kNotUtf8,         // a UTF-8 corpus, but most of the file's non-ASCII bytes are no UTF-8
  kUtf8InCodePage,  // a code-page corpus, but the file opens with a UTF-8 byte-order mark
};

// Reads the first 256 bytes of the file and counts the control bytes other than tab, line feed,
// form feed and carriage return (0-8, 11, 14-31, 127 and 255): with 5 or more the file is no
// text. Zero bytes count and do not end the count, so that UTF-16 and compressed files, whose
// zero bytes come early, are caught. A UTF-16 byte-order mark makes it kUtf16. Then, in UTF-8,
// the first 64 KiB decide: the file is kNotUtf8 when more of its non-ASCII sequences are invalid
// than valid; in a code page, a UTF-8 byte-order mark makes it kUtf8InCodePage. An empty file is
// text. Throws EFileError "Unable to open file: <name>." when the file cannot be opened or read
// (a directory cannot be read).
TTextFileVerdict TestTextFile(const std::string& fileName, const TLangTables& tables);
// The same test on a file already open: its head is read through the stream from offset 0.
TTextFileVerdict TestTextFile(TSynchroStream& stream, const TLangTables& tables);

// The main window's check: true for text; for a file that fails, asks with MsgConfirm (the file
// name, CR LF, and "does not seem to be a text file. Open anyway?", or the encoding question)
// and returns the answer. Refuses UTF-16, which the splitter cannot read: throws EFileError
// "Unable to read UTF-16 text: <name>. Convert it to UTF-8 first.".
bool AcceptCorpusFile(const std::string& fileName, const TLangTables& tables);
// The same check on the file fileName already open as stream, so that it is not opened twice.
bool AcceptCorpusFile(const std::string& fileName, TSynchroStream& stream,
                      const TLangTables& tables);

// The whole check before a file joins the corpus: a regular file (MsgError "Is a directory:
// <name>." or "Not a regular file: <name>." otherwise; a FIFO or a device could block the reader
// or never end) that AcceptCorpusFile accepts. A name that names nothing passes on to the opening,
// which reports it. Throws as AcceptCorpusFile.
bool CheckCorpusFile(const std::string& fileName, const TLangTables& tables);

// Whether the file is one of a workspace index folder's own files (the two index files, their
// state and their lock: never corpus text), which a wildcard over a corpus folder that also holds
// an index picks up. Says so with MsgError "Left out <name>: a file of the index of <FILE.qws>.".
bool LeftOutAsIndexFile(const std::string& fileName);

}  // namespace quenterra
