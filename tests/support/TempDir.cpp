#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace quenterra::test {

TTempDir::TTempDir(const std::string& parent) {
  std::string pattern = (parent.empty() ? ::testing::TempDir() : parent) + "qtXXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = name.data();
}

std::string MemoryFolder() {
  std::error_code error;
  return std::filesystem::is_directory("/dev/shm", error) ? "/dev/shm/" : "";
}

TTempDir::~TTempDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::string TTempDir::Write(const std::string& name, const std::string& content) const {
  std::string full = File(name);
  std::ofstream(full, std::ios::binary) << content;
  return full;
}

std::string TTempDir::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace quenterra::test
