// `quenterra-cli tokens FILE...`: splits the files in order, exactly as a build of the index
// would, and prints every token that the index would receive.
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/GlobalOptions.h"
#include "config/Workspace.h"
#include "corpus/SynStream.h"
#include "corpus/TextFileTest.h"
#include "corpus/WordSplitter.h"
#include "platform/Errors.h"
#include "platform/Progress.h"

namespace quenterra::cli {

namespace {

constexpr char kUsage[] =
    "Usage: quenterra-cli tokens [--] FILE...\n"
    "       quenterra-cli --workspace FILE.qws tokens      (the workspace's corpus files)\n"
    "\n"
    "Splits each FILE into tokens with the current settings, the files numbered 0, 1, ... in\n"
    "the order given, and prints one token a line, tab-separated:\n"
    "  file number, source offset (byte offset in its file plus 255), kind (1 word, 2 tag name,\n"
    "  3 word inside a tag, 5 part-of-speech label), text (folded when ignoreCase is on).\n"
    "Text is printed as UTF-8 whatever the corpus encoding (CorpusEncoding).\n";

// Formats tokens into a large buffer and writes it out in big chunks: corpora of hundreds of
// megabytes produce tens of millions of lines.
class TTokenPrinter : public TTokenSink {
 public:
  static constexpr size_t kBufferSize = size_t{1} << 20;
  // A byte of a code page takes up to 3 bytes of UTF-8.
  static constexpr size_t kMaxLine = 3 * 20 + 3 + 3 * TWordSplitter::kMaxTokenLength + 1;

  // Tokens of a code page are converted to UTF-8; those of a UTF-8 corpus are UTF-8 already.
  TTokenPrinter(std::FILE* out, const TLangTables& tables)
      : out_(out), tables_(tables), buffer_(kBufferSize) {}
  TTokenPrinter(const TTokenPrinter&) = delete;
  TTokenPrinter& operator=(const TTokenPrinter&) = delete;

  uint32_t AddToken(const char* text, uint8_t kind, int64_t sourceOffset,
                    uint32_t fileNumber) override {
    if (kBufferSize - used_ < kMaxLine) Flush();
    char* p = buffer_.data() + used_;
    char* const limit = buffer_.data() + kBufferSize;
    p = std::to_chars(p, limit, fileNumber).ptr;
    *p++ = '\t';
    p = std::to_chars(p, limit, sourceOffset).ptr;
    *p++ = '\t';
    p = std::to_chars(p, limit, kind).ptr;
    *p++ = '\t';
    std::string_view token(text);
    std::string converted;
    if (!tables_.Utf8()) token = converted = tables_.ToUtf8(token);
    std::memcpy(p, token.data(), token.size());
    p += token.size();
    *p++ = '\n';
    used_ = static_cast<size_t>(p - buffer_.data());
    return 0;
  }

  // Writes what is buffered; a failed write ends the run (OutputFailed).
  void Flush() {
    errno = 0;
    if (used_ > 0 && std::fwrite(buffer_.data(), 1, used_, out_) != used_) OutputFailed();
    used_ = 0;
    if (std::fflush(out_) != 0) OutputFailed();
  }

 private:
  std::FILE* out_;
  const TLangTables& tables_;
  std::vector<char> buffer_;
  size_t used_ = 0;
};

// The file names after the options, or those of the --workspace; throws EUsage for an unknown
// option or no file.
std::vector<std::string> ParseFiles(const TArgs& args, const TGlobalOptions& global, bool& help) {
  std::vector<std::string> files;
  bool options = true;
  for (const std::string& arg : args) {
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "--help" || arg == "-h")) {
      help = true;
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      throw EUsage{"tokens: unknown option '" + arg + "' (see 'quenterra-cli tokens --help')"};
    } else {
      files.push_back(arg);
    }
  }
  const std::optional<std::string>& workspace = global.workspaceFile;
  if (workspace && !files.empty()) {
    throw EUsage{"tokens: FILE arguments and --workspace exclude each other"};
  }
  if (workspace) return ReadWorkspaceFiles(*workspace);
  if (!help && files.empty()) {
    throw EUsage{"tokens: no FILE given (see 'quenterra-cli tokens --help')"};
  }
  return files;
}

// Checks and opens every file once before printing anything, as loading a corpus does, so that a
// missing or unfit file fails the command without partial output; a workspace's index files are
// left out. Returns the gauge's maximum, or -1 when a file is refused (the reason printed).
int64_t CheckFiles(std::vector<std::string>& files, const TLangTables& tables) {
  int64_t blocks = 0;
  std::erase_if(files, LeftOutAsIndexFile);
  for (const std::string& name : files) {
    if (!CheckCorpusFile(name, tables)) return -1;
    TFileSynchroStream stream(name);
    blocks += TWordSplitter::BlockCount(stream.GetSize());
  }
  return blocks;
}

}  // namespace

int RunTokens(const TArgs& args, TCliSession& session) {
  bool help = false;
  std::vector<std::string> files = ParseFiles(args, session.options, help);
  if (help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const int64_t blocks = CheckFiles(files, session.settings.tables);
  if (blocks < 0) return 1;

  // A bar on the same terminal as the tokens would tear the lines apart.
  std::unique_ptr<TProgress> progress;
  if (!isatty(STDOUT_FILENO)) {
    InstallConsoleFrontEnd(false);
    progress = ShowProgress(TProgressKind::kSimple, "Splitting");
    progress->SetMax(blocks);
  }

  TTokenPrinter printer(stdout, session.settings.tables);
  TWordSplitter splitter(printer, session.settings.config, session.settings.tables, progress.get());
  for (size_t i = 0; i < files.size(); ++i) {
    TFileSynchroStream stream(files[i]);
    splitter.SplitFile(stream, static_cast<uint32_t>(i), files[i]);
  }
  printer.Flush();
  return 0;
}

}  // namespace quenterra::cli
