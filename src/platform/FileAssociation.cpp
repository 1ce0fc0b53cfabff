#include "platform/FileAssociation.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/AtomicFile.h"

extern char** environ;

namespace quenterra {

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kMaxExistingSize = 1 << 20;

std::string XmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The escapes of a desktop entry's string values.
std::string DesktopEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// One Exec argument in double quotes, with the characters that quoting reserves escaped and
// percent signs doubled so that none is taken for a field code.
std::string ExecQuoted(const std::string& argument) {
  std::string out = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c;
    if (c == '%') out += '%';
  }
  return out + '"';
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Writes `content` to `name` unless it holds exactly that already. Returns whether it wrote.
bool WriteIfChanged(const std::string& name, const std::string& content) {
  try {
    if (ReadWholeFile(name, kMaxExistingSize) == content) return false;
  } catch (const std::exception&) {
    // Missing or unreadable: write it.
  }
  std::error_code error;
  fs::create_directories(fs::path(name).parent_path(), error);
  ReplaceFile(name, content);
  return true;
}

// Runs a desktop tool on a directory, quietly; a missing tool or a failure does not matter.
void RunQuietly(const char* tool, const std::string& dir) {
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return;
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> args = {tool, dir};
  std::vector<char*> argv = {args[0].data(), args[1].data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, tool, &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  posix_spawn_file_actions_destroy(&actions);
}

}  // namespace

std::string DataHomeDirectory() {
  const char* data = std::getenv("XDG_DATA_HOME");
  // The XDG base directory rules ignore relative values.
  if (data != nullptr && data[0] == '/') {
    std::string dir = data;
    return dir.back() == '/' ? dir : dir + '/';
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return "";
  std::string dir = home;
  if (dir.back() != '/') dir += '/';
  return dir + ".local/share/";
}

std::string MimePackageText(const TFileType& type) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
         "  <mime-type type=\"" +
         XmlEscaped(type.mimeType) +
         "\">\n"
         "    <comment>" +
         XmlEscaped(type.description) +
         "</comment>\n"
         "    <glob pattern=\"*." +
         XmlEscaped(Lower(type.extension)) +
         "\"/>\n"
         "  </mime-type>\n"
         "</mime-info>\n";
}

std::string DesktopEntryText(const TFileType& type, const std::string& programFile) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=" +
         DesktopEscaped(type.appName) +
         "\n"
         "Comment=" +
         DesktopEscaped(type.description) +
         "\n"
         "Exec=" +
         DesktopEscaped(ExecQuoted(programFile)) +
         " %f\n"
         "MimeType=" +
         DesktopEscaped(type.mimeType) +
         ";\n"
         "NoDisplay=true\n"
         "Terminal=false\n";
}

bool RegisterFileType(const TFileType& type, const std::string& programFile,
                      const std::string& dataHome) {
  std::string home = dataHome.empty() ? DataHomeDirectory() : dataHome;
  if (home.empty()) return false;
  if (home.back() != '/') home += '/';
  try {
    std::string mimeDir = home + "mime";
    std::string appDir = home + "applications";
    bool mime =
        WriteIfChanged(mimeDir + "/packages/" + type.typeName + ".xml", MimePackageText(type));
    bool entry = WriteIfChanged(appDir + "/" + type.typeName + ".desktop",
                                DesktopEntryText(type, programFile));
    if (mime) RunQuietly("update-mime-database", mimeDir);
    if (entry) RunQuietly("update-desktop-database", appDir);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quenterra
