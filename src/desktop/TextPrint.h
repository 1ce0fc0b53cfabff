// Printing a corpus text: the whole file read through its shared stream in 4096-byte blocks and
// handed to a plain-text channel, with the gauge and a rate display in a progress window whose
// Cancel stops it. The channel (the printer, in the program) decides how lines and pages fall.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "corpus/SynStream.h"
#include "platform/Progress.h"

namespace quenterra {

// Receives the printed bytes in file order.
class TTextChannel {
 public:
  virtual ~TTextChannel() = default;
  virtual void Write(std::string_view bytes) = 0;
};

struct TTextPrintResult {
  bool cancelled = false;
  int64_t lines = 0;  // line ends printed
  int64_t bytes = 0;  // bytes read
};

class TTextPrint {
 public:
  static constexpr int64_t kBlockSize = 4096;
  static constexpr std::chrono::milliseconds kRateInterval{300};
  using TClock = std::function<std::chrono::steady_clock::time_point()>;

  // None is owned. clock tells the time (the steady clock unless a test sets another).
  TTextPrint(TSynchroStream& stream, TTextChannel& channel, TProgress& progress,
             TClock clock = std::chrono::steady_clock::now);

  // Prints the file from its start: each block up to its first zero byte. Line ends (a line
  // feed, a carriage return, or both together) are counted for the rate display.
  TTextPrintResult Run();

  // "%d lines/sec" with lines per second, rounded.
  static std::string RateText(int64_t lines, double seconds);

 private:
  void CountLineEnds(std::string_view bytes);
  void Report(std::chrono::steady_clock::time_point start,
              std::chrono::steady_clock::time_point& shown);

  TSynchroStream& stream_;
  TTextChannel& channel_;
  TProgress& progress_;
  TClock clock_;
  TTextPrintResult result_;
  bool afterCr_ = false;
};

}  // namespace quenterra
