// File-system helpers behind the platform seam: temporary files, the program's directory.
#pragma once

#include <string>

namespace quenterra {

// The user's temporary folder: $TMPDIR when set, else /tmp; always ends in '/'.
std::string TempDirectory();

// Creates a new, empty, uniquely named file in TempDirectory() whose name starts with prefix
// ("PGX", "SQX", "FST", "CT") and returns its full name. Throws EFileError when it cannot.
std::string MakeTempFile(const std::string& prefix);

// The directory of the running executable, ending in '/'.
std::string ProgramDirectory();

bool FileExists(const std::string& name);

}  // namespace quenterra
