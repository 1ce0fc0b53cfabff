// Raises a flag for the lifetime of a scope, also when the scope ends with an exception: the busy
// flags that keep commands disabled while a long operation runs.
#pragma once

namespace quenterra {

class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace quenterra
