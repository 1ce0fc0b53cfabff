// The settings file QUENTERRA.INI: where it lives, and how the process-wide settings (the
// configuration object, the full-extract options, the global settings, the extract histories, the
// stop list and the language) are read from and written to it. Workspace files hold the same
// sections (ReadSettingsFrom / WriteSettingsTo on their own model).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/IniFile.h"
#include "platform/CharSet.h"

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

// Reads every setting from the file; a missing file gives the defaults. On an error shows
// "Could not read from configuration file <name>!" and returns false; what was read stays.
bool ReadSettings(const std::string& fileName);
// Replaces the file with every setting (not SaveOnExit and WorkspacePath: write them after). On
// an error shows "Could not write to configuration file <name>!", returns false and leaves the
// old file as it was. An empty name (ConfigWritePath found no place) returns false silently.
bool WriteSettings(const std::string& fileName);

// The same on a model held in memory. ReadSettingsFrom also loads the stop list (which may read
// its own file) and applies the stored language.
void ReadSettingsFrom(const TIniFile& file);
void WriteSettingsTo(TIniFile& file);

// The single keys of section GeneralConfiguration kept in the settings file only. The writes load
// the file, set the key and replace the file; they return false when that fails.
bool ReadSaveOnExit(const std::string& fileName);
std::string ReadWorkspacePath(const std::string& fileName);
bool WriteSaveOnExit(const std::string& fileName, bool value);
bool WriteWorkspacePath(const std::string& fileName, const std::string& value);

// Parses an equal-characters text ("a=b; c=d=e") into its groups. Spaces are ignored; each
// ';'-separated group alternates characters of code 65 or above with '='. Returns false (and
// leaves `groups` alone) on a syntax error; an empty text gives no groups.
bool ParseEqualChars(std::string_view text, std::vector<TCharSet>& groups);
// Parses Config().EqualChars into Config().EqualGroups; false leaves the groups unchanged.
bool ParseEqualChars();

}  // namespace quenterra
