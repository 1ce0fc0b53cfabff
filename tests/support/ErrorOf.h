// The message of the project exception that a call throws, for exact-text assertions.
#pragma once

#include <string>

#include "platform/Errors.h"

namespace quenterra::test {

// Runs f; returns the message of the EQuenterra it throws, or "(no exception)".
template <typename F>
std::string ErrorOf(F&& f) {
  try {
    f();
  } catch (const EQuenterra& error) {
    return error.what();
  }
  return "(no exception)";
}

}  // namespace quenterra::test
