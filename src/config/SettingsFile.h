// The settings file QUENTERRA.INI: where it lives, and how a front end's settings (the
// configuration object, the full-extract options, the global settings with the language, the
// extract histories and the stop list) are read from and written to it. This is the one place
// that knows the file's sections and keys; workspace files hold the same sections
// (ReadSettingsFrom / WriteSettingsTo on their own model).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/ProgramSettings.h"
#include "platform/IniFile.h"

namespace quenterra {

inline constexpr char kConfigFileName[] = "QUENTERRA.INI";

// Where the settings file may live: the program's directory first, then the per-user
// configuration directory. Tests pass their own.
struct TConfigLocations {
  std::string programDir;  // ends in '/'
  std::string configDir;   // ends in '/'
};

// ProgramDirectory(), and $XDG_CONFIG_HOME/quenterra/ (default ~/.config/quenterra/).
TConfigLocations DefaultConfigLocations();

// The program directory's settings file when it exists, else the configuration directory's.
std::string ConfigReadPath(const TConfigLocations& where = DefaultConfigLocations());
// The program directory's settings file when it exists and it and its directory can be written;
// else the configuration directory's, creating the directory and an empty file when needed;
// else empty (nothing is written).
std::string ConfigWritePath(const TConfigLocations& where = DefaultConfigLocations());

// Reads every setting from the file into `settings` and rebuilds its tables; a missing file
// gives the defaults. On an error shows "Could not read from configuration file <name>!" and
// returns false; what was read stays.
bool ReadSettings(const std::string& fileName, TProgramSettings& settings);
// Replaces the file with every setting (not SaveOnExit and WorkspacePath: write them after). On
// an error shows "Could not write to configuration file <name>!", returns false and leaves the
// old file as it was. An empty name (ConfigWritePath found no place) returns false silently.
bool WriteSettings(const std::string& fileName, const TProgramSettings& settings);

// The same on a model held in memory. ReadSettingsFrom also loads the stop list (which may read
// its own file), takes the stored language (StoredLanguage) and encoding (GeneralConfiguration/
// CorpusEncoding, "UTF-8" or "CodePage"; a file with a Language but no CorpusEncoding was
// written before the choice existed and keeps the code page) and rebuilds the tables. The
// character keys and texts are read and written in that encoding.
void ReadSettingsFrom(const TIniFile& file, TProgramSettings& settings);
void WriteSettingsTo(TIniFile& file, const TProgramSettings& settings);

// Whether the model holds at least one section of the settings file (letter case ignored).
bool HoldsSettings(const TIniFile& file);

// The single keys of section GeneralConfiguration kept in the settings file only. The writes load
// the file, set the key and replace the file; they return false when that fails.
bool ReadSaveOnExit(const std::string& fileName);
std::string ReadWorkspacePath(const std::string& fileName);
bool WriteSaveOnExit(const std::string& fileName, bool value);
bool WriteWorkspacePath(const std::string& fileName, const std::string& value);

}  // namespace quenterra
