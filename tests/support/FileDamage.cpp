#include "support/FileDamage.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace quenterra::test {

std::string ReadFileBytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

uint64_t FileSize(const std::string& name) { return std::filesystem::file_size(name); }

void TruncateFile(const std::string& name, uint64_t size) {
  std::filesystem::resize_file(name, size);
}

void FlipByte(const std::string& name, uint64_t offset, uint8_t mask) {
  std::string bytes = ReadFileBytes(name);
  bytes.at(offset) = static_cast<char>(bytes.at(offset) ^ static_cast<char>(mask));
  WriteFileBytes(name, bytes);
}

void OverwriteBytes(const std::string& name, uint64_t offset, const std::string& bytes) {
  std::string content = ReadFileBytes(name);
  content.replace(offset, bytes.size(), bytes);
  WriteFileBytes(name, content);
}

std::vector<std::string> DirectoryEntries(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dir, error))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quenterra::test
