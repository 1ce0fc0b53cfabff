// The project's exception base. Every failure the system reports is an EQuenterra (or a class
// derived from it) carrying the user-visible English message text; low-level classes prefix
// their messages with their own name ("TDWordsList: List index out of bounds.").
#pragma once

#include <stdexcept>
#include <string>

namespace quenterra {

class EQuenterra : public std::runtime_error {
 public:
  explicit EQuenterra(const std::string& message) : std::runtime_error(message) {}
};

// A file could not be opened, read, written, created or renamed.
class EFileError : public EQuenterra {
 public:
  using EQuenterra::EQuenterra;
};

}  // namespace quenterra
