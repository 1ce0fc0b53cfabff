#include "desktop/TextPrint.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace quenterra {

TTextPrint::TTextPrint(TSynchroStream& stream, TTextChannel& channel, TProgress& progress,
                       TClock clock)
    : stream_(stream), channel_(channel), progress_(progress), clock_(std::move(clock)) {}

TTextPrintResult TTextPrint::Run() {
  std::vector<char> block(kBlockSize);
  const int64_t size = stream_.GetSize();
  const auto start = clock_();
  auto shown = start;
  int64_t position = 0;
  for (;;) {
    const int64_t got = stream_.ReadAt(block.data(), kBlockSize, position);
    if (got <= 0) break;
    // A zero byte ends the text of its block.
    const void* zero = std::memchr(block.data(), 0, static_cast<size_t>(got));
    const std::string_view text(
        block.data(), zero ? static_cast<size_t>(static_cast<const char*>(zero) - block.data())
                           : static_cast<size_t>(got));
    channel_.Write(text);
    CountLineEnds(text);
    result_.bytes += got;
    if (size > 0) progress_.SetPosition(std::llround(100.0 * result_.bytes / size));
    Report(start, shown);
    progress_.ProcessMessages();
    if (progress_.CancelState() != TCancelState::kRunning) {
      result_.cancelled = true;
      break;
    }
  }
  return result_;
}

void TTextPrint::CountLineEnds(std::string_view bytes) {
  for (char c : bytes) {
    if (c == '\n' && afterCr_) {
      afterCr_ = false;  // the second half of a carriage return + line feed
      continue;
    }
    afterCr_ = c == '\r';
    if (c == '\n' || c == '\r') ++result_.lines;
  }
}

void TTextPrint::Report(std::chrono::steady_clock::time_point start,
                        std::chrono::steady_clock::time_point& shown) {
  const auto now = clock_();
  if (now - shown <= kRateInterval) return;
  shown = now;
  progress_.SetSpecialText(
      RateText(result_.lines, std::chrono::duration<double>(now - start).count()));
}

std::string TTextPrint::RateText(int64_t lines, double seconds) {
  const int64_t rate = seconds > 0 ? std::llround(static_cast<double>(lines) / seconds) : 0;
  return std::to_string(rate) + " lines/sec";
}

}  // namespace quenterra
