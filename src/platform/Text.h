// Small string helpers shared by the settings, dialogs and patterns.
#pragma once

#include <string_view>

namespace quenterra {

// Without the characters up to and including the space (controls and blanks) at both ends.
inline std::string_view TrimControls(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// Without the space characters (only those) at both ends.
inline std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace quenterra
