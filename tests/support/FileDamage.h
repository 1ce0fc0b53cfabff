// Helpers that read whole files and damage them the way disks and users do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quenterra::test {

std::string ReadFileBytes(const std::string& name);
void WriteFileBytes(const std::string& name, const std::string& bytes);
uint64_t FileSize(const std::string& name);
void TruncateFile(const std::string& name, uint64_t size);
// Xors the byte at offset with mask (the default flips every bit).
void FlipByte(const std::string& name, uint64_t offset, uint8_t mask = 0xFF);
void OverwriteBytes(const std::string& name, uint64_t offset, const std::string& bytes);
// The names in a folder, sorted (empty when it does not exist).
std::vector<std::string> DirectoryEntries(const std::string& dir);

}  // namespace quenterra::test
