#include "corpus/TextFileTest.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "corpus/FileHandle.h"
#include "corpus/IndexBuilder.h"
#include "corpus/IndexLock.h"
#include "corpus/IndexState.h"
#include "platform/CharCoding.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Messages.h"

namespace quenterra {

namespace {

constexpr int kTextTestBytes = 256;
constexpr int kMaxControlBytes = 5;           // this many or more: not text
constexpr int kEncodingTestBytes = 64 << 10;  // what the UTF-8 test reads

bool IsControlByte(unsigned char c) {
  return c <= 8 || c == 11 || (c >= 14 && c <= 31) || c == 127 || c == 255;
}

bool TooManyControls(std::string_view head) {
  int controls = 0;
  for (char c : head.substr(0, kTextTestBytes))
    if (IsControlByte(static_cast<unsigned char>(c))) ++controls;
  return controls >= kMaxControlBytes;
}

// Whether more of the non-ASCII sequences are invalid UTF-8 than valid; a sequence cut off by
// the end of what was read does not count.
bool MostlyNotUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* end = p + text.size();
  int valid = 0;
  int invalid = 0;
  while (p < end) {
    // Most text is ASCII: step over it eight bytes at a time.
    if (end - p >= 8) {
      uint64_t eight = 0;
      std::memcpy(&eight, p, 8);
      if ((eight & 0x8080808080808080ull) == 0) {
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
    if (length == 0 && end - p < 4) break;
    ++(length > 0 ? valid : invalid);
    p += length > 0 ? length : 1;
  }
  return invalid > valid;
}

std::string ReadHead(const std::string& fileName, int count) {
  TFileHandle file;
  if (!file.Open(fileName)) throw EFileError("Unable to open file: " + fileName + ".");
  // Corpus files are often smaller than what the test reads: no room (and zeros) for the rest.
  std::string head(static_cast<size_t>(std::clamp<int64_t>(file.Size(), 0, count)), '\0');
  const int64_t got = file.Read(0, static_cast<int64_t>(head.size()), head.data());
  head.resize(static_cast<size_t>(got > 0 ? got : 0));
  return head;
}

int TestBytes(const TLangTables& tables) {
  return tables.Utf8() ? kEncodingTestBytes : kTextTestBytes;
}

std::string ReadHead(TSynchroStream& stream, int count) {
  std::string head(static_cast<size_t>(std::clamp<int64_t>(stream.GetSize(), 0, count)), '\0');
  size_t got = 0;
  int64_t position = 0;
  while (got < head.size()) {
    const int64_t read =
        stream.ReadAt(head.data() + got, static_cast<int64_t>(head.size() - got), position);
    if (read <= 0) break;
    got += static_cast<size_t>(read);
  }
  head.resize(got);
  return head;
}

TTextFileVerdict TestHead(std::string_view text, const TLangTables& tables) {
  if (text.starts_with(kUtf16LeBom) || text.starts_with(kUtf16BeBom))
    return TTextFileVerdict::kUtf16;
  if (TooManyControls(text)) return TTextFileVerdict::kNotText;
  if (tables.Utf8())
    return MostlyNotUtf8(text) ? TTextFileVerdict::kNotUtf8 : TTextFileVerdict::kText;
  return text.starts_with(kUtf8Bom) ? TTextFileVerdict::kUtf8InCodePage : TTextFileVerdict::kText;
}

bool Accept(const std::string& fileName, TTextFileVerdict verdict, const TLangTables& tables) {
  switch (verdict) {
    case TTextFileVerdict::kText:
      return true;
    case TTextFileVerdict::kNotText:
      return MsgConfirm(fileName + "\r\n" + kNotTextFileQuestion, true);
    case TTextFileVerdict::kUtf16:
      throw EFileError("Unable to read UTF-16 text: " + fileName + ". Convert it to UTF-8 first.");
    case TTextFileVerdict::kNotUtf8:
      return MsgConfirm(
          fileName + "\r\ndoes not seem to be UTF-8 text; what is not UTF-8 will be " +
              "read as code page " + std::to_string(tables.CodePage()) + ". Open anyway?",
          true);
    case TTextFileVerdict::kUtf8InCodePage:
      return MsgConfirm(fileName + "\r\nis UTF-8 text, but the corpus is read in " +
                            tables.EncodingName() + ". Open anyway?",
                        true);
  }
  return true;
}

}  // namespace

TTextFileVerdict TestTextFile(const std::string& fileName, const TLangTables& tables) {
  return TestHead(ReadHead(fileName, TestBytes(tables)), tables);
}

TTextFileVerdict TestTextFile(TSynchroStream& stream, const TLangTables& tables) {
  return TestHead(ReadHead(stream, TestBytes(tables)), tables);
}

bool AcceptCorpusFile(const std::string& fileName, const TLangTables& tables) {
  return Accept(fileName, TestTextFile(fileName, tables), tables);
}

bool AcceptCorpusFile(const std::string& fileName, TSynchroStream& stream,
                      const TLangTables& tables) {
  return Accept(fileName, TestTextFile(stream, tables), tables);
}

bool CheckCorpusFile(const std::string& fileName, const TLangTables& tables) {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    MsgError((S_ISDIR(info.st_mode) ? "Is a directory: " : "Not a regular file: ") + fileName +
             ".");
    return false;
  }
  return AcceptCorpusFile(fileName, tables);
}

bool LeftOutAsIndexFile(const std::string& fileName) {
  const std::filesystem::path path(fileName);
  const std::string name = path.filename().string();
  if (name != kWorkspacePageIndexName && name != kWorkspaceSeqIndexName &&
      name != kWorkspaceIndexStateName && name != kIndexLockName)
    return false;
  const std::string folder = path.parent_path().lexically_normal().string();
  for (const char* extension : {".qws", ".QWS", ".Qws"}) {
    if (folder.empty() || !FileExists(folder + extension)) continue;
    MsgError("Left out " + fileName + ": a file of the index of " + folder + extension + ".");
    return true;
  }
  return false;
}

}  // namespace quenterra
