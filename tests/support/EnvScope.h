// Sets or clears an environment variable for the life of a scope, then puts the old value back.
#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

namespace quenterra::test {

class TEnvScope {
 public:
  // A null value clears the variable.
  TEnvScope(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    Set(value);
  }
  ~TEnvScope() { Set(old_ ? old_->c_str() : nullptr); }
  TEnvScope(const TEnvScope&) = delete;
  TEnvScope& operator=(const TEnvScope&) = delete;

 private:
  void Set(const char* value) {
    if (value == nullptr) {
      unsetenv(name_.c_str());
    } else {
      setenv(name_.c_str(), value, 1);
    }
  }

  std::string name_;
  std::optional<std::string> old_;  // none: the variable was not set
};

}  // namespace quenterra::test
