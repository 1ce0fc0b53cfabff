#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace quenterra::test {

TTempDir::TTempDir() {
  std::string pattern = ::testing::TempDir() + "qtXXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = name.data();
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
