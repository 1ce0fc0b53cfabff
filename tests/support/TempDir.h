// A fresh folder under the test temporary directory, removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <string>

namespace quenterra::test {

class TTempDir {
 public:
  // Under `parent` (ending in '/') instead, when given.
  explicit TTempDir(const std::string& parent = "");
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The full name of `name` inside the folder.
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Writes `content` to `name` inside the folder and returns its full name.
  std::string Write(const std::string& name, const std::string& content) const;
  // The content of `name` inside the folder (empty when missing).
  std::string Read(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// "/dev/shm/" where the machine has it, else "": a parent for folders of tests whose files are
// forced to disk again and again, where that costs nothing.
std::string MemoryFolder();

}  // namespace quenterra::test
