#include "corpus/BackgroundSink.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <system_error>

namespace quenterra {

// ---- Blocks -----------------------------------------------------------------------------------

// Room for 16 bytes of text a token on average; a block of longer tokens fills up sooner.
TBackgroundSink::TBlock::TBlock(size_t tokens)
    : capacity_(std::max<size_t>(tokens, 1)),
      textBytes_(capacity_ * 16 + kTokenRoom),
      texts_(std::make_unique<char[]>(textBytes_)) {
  tokens_.reserve(capacity_);
}

bool TBackgroundSink::TBlock::Full() const {
  return tokens_.size() == capacity_ || textsUsed_ + kTokenRoom > textBytes_;
}

size_t TBackgroundSink::TBlock::Append(std::span<const TTokenRef> tokens) {
  const size_t n = std::min(tokens.size(), capacity_ - tokens_.size());
  if (n > 0 && AppendRun(tokens.first(n))) return n;
  size_t taken = 0;
  for (; taken < n && !Full(); ++taken) AppendOne(tokens[taken]);
  return taken;
}

// The splitter's texts lie one after another, each with its zero byte: when the tokens' texts
// all fall in one run that fits, the run is copied at once.
bool TBackgroundSink::TBlock::AppendRun(std::span<const TTokenRef> tokens) {
  const char* from = tokens.front().text.data();
  const char* to = tokens.back().text.data() + tokens.back().text.size() + 1;
  if (to <= from || static_cast<size_t>(to - from) > textBytes_ - textsUsed_) return false;
  const auto length = static_cast<size_t>(to - from);
  const size_t before = tokens_.size();
  char* run = texts_.get() + textsUsed_;
  for (const TTokenRef& token : tokens) {
    const auto at = static_cast<size_t>(reinterpret_cast<uintptr_t>(token.text.data()) -
                                        reinterpret_cast<uintptr_t>(from));
    if (at + token.text.size() >= length) {
      tokens_.resize(before);
      return false;
    }
    tokens_.push_back(TTokenRef{std::string_view(run + at, token.text.size()), token.sourceOffset,
                                token.fileNumber, token.kind});
  }
  std::memcpy(run, from, length);
  textsUsed_ += length;
  return true;
}

void TBackgroundSink::TBlock::AppendOne(const TTokenRef& token) {
  const size_t length = std::min(token.text.size(), kTokenRoom - 1);
  char* text = texts_.get() + textsUsed_;
  std::memcpy(text, token.text.data(), length);
  text[length] = '\0';
  textsUsed_ += length + 1;
  tokens_.push_back(
      TTokenRef{std::string_view(text, length), token.sourceOffset, token.fileNumber, token.kind});
}

void TBackgroundSink::TBlock::Clear() {
  tokens_.clear();
  textsUsed_ = 0;
}

// ---- The sink ---------------------------------------------------------------------------------

TBackgroundSink::TBackgroundSink(TTokenSink& target, size_t blockTokens)
    : target_(target),
      direct_(std::thread::hardware_concurrency() == 1),
      filling_(direct_ ? 1 : blockTokens),
      handed_(direct_ ? 1 : blockTokens) {}

TBackgroundSink::~TBackgroundSink() {
  if (!worker_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

uint32_t TBackgroundSink::AddToken(const char* text, uint8_t kind, int64_t sourceOffset,
                                   uint32_t fileNumber) {
  const TTokenRef token{std::string_view(text, strnlen(text, TWordSplitter::kMaxTokenLength)),
                        sourceOffset, fileNumber, kind};
  AddTokens(std::span<const TTokenRef>(&token, 1));
  return 0;
}

void TBackgroundSink::AddTokens(std::span<const TTokenRef> tokens) {
  if (direct_) {
    target_.AddTokens(tokens);
    return;
  }
  while (!tokens.empty()) {
    tokens = tokens.subspan(filling_.Append(tokens));
    if (filling_.Full()) HandOver();
  }
}

void TBackgroundSink::Finish() {
  if (!worker_.joinable()) {
    // Never more than one block: no thread is worth starting for it.
    target_.AddTokens(filling_.Tokens());
    filling_.Clear();
    return;
  }
  if (!filling_.Tokens().empty()) HandOver();
  std::unique_lock<std::mutex> lock(mutex_);
  WaitForWorker(lock);
}

// Waits until the worker is free, then gives it the filled block and takes its empty one.
void TBackgroundSink::HandOver() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    WaitForWorker(lock);
    std::swap(filling_, handed_);
    pending_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) return;
  try {
    worker_ = std::thread(&TBackgroundSink::Work, this);
  } catch (const std::system_error&) {
    // No thread to be had: the block is filed here.
    pending_ = false;
    target_.AddTokens(handed_.Tokens());
    handed_.Clear();
  }
}

void TBackgroundSink::WaitForWorker(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return !pending_; });
  if (error_) std::rethrow_exception(error_);
}

void TBackgroundSink::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return pending_ || stop_; });
    if (!pending_) return;
    lock.unlock();
    std::exception_ptr error;
    try {
      target_.AddTokens(handed_.Tokens());
    } catch (...) {
      error = std::current_exception();
    }
    handed_.Clear();
    lock.lock();
    if (error && !error_) error_ = error;
    pending_ = false;
    changed_.notify_all();
  }
}

}  // namespace quenterra
