// Whole-file reading and replacing for the small text files of the program (settings,
// workspaces, stop lists). A file is replaced by writing a new file beside it and renaming it
// over the old one, so a failure part-way leaves the old file as it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quenterra {

// The whole content of a regular file. Throws EFileError when the file cannot be opened or read,
// is not a regular file, or is larger than maxSize bytes.
std::string ReadWholeFile(const std::string& name, uint64_t maxSize);

// Makes `name` hold exactly `content`: writes a temporary file in the same directory, flushes it
// to disk, gives it the old file's permissions and renames it over `name` (over the target when
// `name` is a symbolic link). Throws EFileError when any step fails; the old file is then
// untouched and the temporary file removed.
void ReplaceFile(const std::string& name, std::string_view content);

// Whether the directory that holds `name` exists and accepts new files.
bool DirectoryWritable(const std::string& name);

}  // namespace quenterra
