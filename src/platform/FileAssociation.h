// Associating a file type with the program, the freedesktop.org way: a shared-mime-info package
// that gives files of an extension their MIME type, and a desktop entry that names the program as
// the application that opens that type. Both live under the user's data directory:
//
//   <data home>/mime/packages/<type name>.xml      the MIME type, its comment and its glob
//   <data home>/applications/<type name>.desktop   Exec="<program>" %f, MimeType=<type>;
//
// A file is rewritten only when its content changes (the program moved, say); then the desktop's
// caches are refreshed with update-mime-database and update-desktop-database when installed.
#pragma once

#include <string>

namespace quenterra {

struct TFileType {
  std::string extension;    // without the period: "QWS" (matched in any letter case)
  std::string typeName;     // names both files: "Quenterra.Workspace"
  std::string description;  // "Quenterra Workspace"
  std::string mimeType;     // "application/x-quenterra-workspace"
  std::string appName;      // the desktop entry's Name
};

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share; ends in '/'. Empty when
// neither is known.
std::string DataHomeDirectory();

// The MIME package and the desktop entry for `type` opened by `programFile`.
std::string MimePackageText(const TFileType& type);
std::string DesktopEntryText(const TFileType& type, const std::string& programFile);

// Writes both files under dataHome (ending in '/'; DataHomeDirectory() when empty). Returns
// whether everything is in place; nothing is thrown.
bool RegisterFileType(const TFileType& type, const std::string& programFile,
                      const std::string& dataHome = "");

}  // namespace quenterra
