#include "cli/GlobalOptions.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "cli/LocaleText.h"
#include "cli/SettingOverride.h"
#include "config/SettingsFile.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Messages.h"

namespace quenterra::cli {

const char kGlobalOptionsHelp[] =
    "Options of every command (before or after the command name):\n"
    "  --config FILE       read the settings from FILE instead of QUENTERRA.INI\n"
    "  --no-config         use the default settings; read no settings file\n"
    "  --set KEY=VALUE     set one setting by its key in the settings file (repeatable;\n"
    "                      'quenterra-cli config' lists the keys; list entries as KEY0,\n"
    "                      KEY1, ...; also UseSkippingChars and UseEqualChars); a value\n"
    "                      the setting does not take is refused, naming what it takes\n"
    "  --stoplist FILE     load the stop list from FILE (one word a line) and use it\n"
    "  --workspace FILE.qws  work on a saved workspace: its settings (the --set options apply\n"
    "                      on top), its corpus files and its stored index instead of FILEs\n"
    "  --yes               answer Yes to every question (such as opening a file that does\n"
    "                      not look like text); otherwise questions are answered No unless\n"
    "                      stdin is a terminal\n"
    "  --no-wait           fail at once, instead of waiting, when another run is using the\n"
    "                      workspace (reading it while this run would change it, or the\n"
    "                      reverse)\n";

namespace {

// The value of an option at args[i] ("--name VALUE" or "--name=VALUE"); i moves past it.
std::optional<std::string> OptionValue(const TArgs& args, size_t& i, const std::string& name) {
  const std::string& arg = args[i];
  if (arg.starts_with(name + "=")) return arg.substr(name.size() + 1);
  if (arg != name) return std::nullopt;
  if (i + 1 >= args.size()) throw EUsage{name + " needs an argument"};
  return args[++i];
}

std::pair<std::string, std::string> SplitSetting(const std::string& text) {
  size_t equals = text.find('=');
  if (equals == 0 || equals == std::string::npos)
    throw EUsage{"--set needs KEY=VALUE, not '" + text + "'"};
  return {text.substr(0, equals), text.substr(equals + 1)};
}

// Whether the file holds a section of the settings file; a file that cannot be read is left to
// ReadSettings to report.
bool ReadsAsSettings(const std::string& name) {
  try {
    return HoldsSettings(TIniFile::Load(name));
  } catch (const EQuenterra&) {
    return true;
  }
}

bool ReadConfiguredSettings(const TGlobalOptions& options, TProgramSettings& settings) {
  if (options.workspaceFile) {
    if (!FileExists(*options.workspaceFile)) {
      MsgError("Could not read from configuration file " + *options.workspaceFile + "!");
      return false;
    }
    return ReadSettings(*options.workspaceFile, settings);
  }
  if (options.noConfig) return true;
  if (!options.configFile) return ReadSettings(ConfigReadPath(), settings);
  const std::string& name = *options.configFile;
  if (!FileExists(name)) {
    MsgError("Could not read from configuration file " + name + "!");
    return false;
  }
  // A file named on purpose that holds no settings is a mistake (a corpus file, another
  // program's file), not a wish for the defaults.
  if (!ReadsAsSettings(name)) {
    MsgError("Could not read from configuration file " + name + "!");
    MsgError(name + " holds no section of a settings file.");
    return false;
  }
  return ReadSettings(name, settings);
}

bool SameKey(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool DecidesEncoding(const std::string& key) {
  return SameKey(key, "CorpusEncoding") || SameKey(key, "Language");
}

// Files and folders are named in the file system's bytes, whatever the corpus encoding.
bool NamesAFile(const std::string& key) {
  return SameKey(key, "StopListFileName") ||
         (key.size() >= 4 && SameKey(std::string_view(key).substr(key.size() - 4), "Path"));
}

// Loads the --stoplist file, which is in the locale's character set (UTF-8 with a byte-order
// mark), and switches UseStoplist on.
bool LoadStopList(const std::string& name, TProgramSettings& settings) {
  std::error_code error;
  std::filesystem::path file = std::filesystem::absolute(name, error);
  TStopList& stopList = settings.stopList;
  stopList.SetFileName(error ? name : file.lexically_normal().string());
  if (!stopList.LoadFromFile()) return false;
  const std::string what = "The stop list " + name;
  const bool utf8 = OpensWithUtf8Bom(stopList.FileName());
  for (std::string& word : stopList.Words()) {
    word = utf8 ? ToCorpusText(word, "UTF-8", settings.tables, what)
                : FromLocale(word, settings.tables, what);
  }
  settings.config.UseStoplist = true;
  return true;
}

}  // namespace

TGlobalOptions ExtractGlobalOptions(TArgs& args) {
  TGlobalOptions options;
  TArgs rest;
  size_t i = 0;
  for (; i < args.size() && args[i] != "--"; ++i) {
    if (std::optional<std::string> file = OptionValue(args, i, "--config")) {
      options.configFile = *file;
    } else if (args[i] == "--no-config") {
      options.noConfig = true;
    } else if (std::optional<std::string> setting = OptionValue(args, i, "--set")) {
      options.sets.push_back(SplitSetting(*setting));
    } else if (std::optional<std::string> stopList = OptionValue(args, i, "--stoplist")) {
      options.stopListFile = *stopList;
    } else if (std::optional<std::string> workspace = OptionValue(args, i, "--workspace")) {
      options.workspaceFile = *workspace;
    } else if (args[i] == "--yes") {
      options.assumeYes = true;
    } else if (args[i] == "--no-wait") {
      options.noWait = true;
    } else {
      rest.push_back(args[i]);
    }
  }
  rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  args = std::move(rest);
  if (options.configFile && options.noConfig)
    throw EUsage{"--config and --no-config exclude each other"};
  if (options.configFile && options.workspaceFile)
    throw EUsage{"--config and --workspace exclude each other: a workspace holds its settings"};
  return options;
}

bool ApplyGlobalOptions(const TGlobalOptions& options, TProgramSettings& settings) {
  if (!ReadConfiguredSettings(options, settings)) return false;
  return ApplySettingOverrides(options, settings);
}

bool ApplySettingOverrides(const TGlobalOptions& options, TProgramSettings& settings) {
  // The values are typed in the locale's character set and stored in the corpus encoding, so
  // the settings that decide it come first.
  for (const auto& [key, value] : options.sets)
    if (DecidesEncoding(key)) SetSetting(settings, key, value);
  for (const auto& [key, value] : options.sets) {
    if (DecidesEncoding(key)) continue;
    SetSetting(settings, key,
               NamesAFile(key) ? value : FromLocale(value, settings.tables, "The value of " + key));
  }
  return !options.stopListFile || LoadStopList(*options.stopListFile, settings);
}

}  // namespace quenterra::cli
