// A token sink that hands its tokens on to another sink on a worker thread, so that splitting
// the text and filing its tokens in the index run side by side on two processors.
//
// The tokens are copied into a block (texts included, since the splitter's are valid only for
// its call); a full block goes to the worker while the next one fills. The target receives every
// token in order, in blocks, and only from the worker, so the caller must not touch the target
// between the first token and Finish. A corpus of less than one block never starts the worker:
// Finish hands it over on the calling thread. On a machine of one processor nothing would run
// side by side: the tokens go straight to the target.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "corpus/WordSplitter.h"

namespace quenterra {

class TBackgroundSink : public TTokenSink {
 public:
  static constexpr size_t kBlockTokens = 16384;

  // target must outlive this sink. blockTokens: tokens per block (at least 1).
  explicit TBackgroundSink(TTokenSink& target, size_t blockTokens = kBlockTokens);
  TBackgroundSink(const TBackgroundSink&) = delete;
  TBackgroundSink& operator=(const TBackgroundSink&) = delete;
  // Waits for the block in work; tokens not yet handed over are dropped (a failed split).
  ~TBackgroundSink() override;

  // Queues the token. Its id is not known before the target takes it: returns 0.
  uint32_t AddToken(const char* text, uint8_t kind, int64_t sourceOffset,
                    uint32_t fileNumber) override;
  void AddTokens(std::span<const TTokenRef> tokens) override;
  // Hands over what is queued and returns when the target has taken every token. Rethrows the
  // first exception of the target (which ended its block; later blocks were dropped).
  void Finish();

 private:
  class TBlock {
   public:
    explicit TBlock(size_t tokens);
    bool Full() const;
    // Appends the first tokens that fit and returns how many.
    size_t Append(std::span<const TTokenRef> tokens);
    std::span<const TTokenRef> Tokens() const { return tokens_; }
    void Clear();

   private:
    static constexpr size_t kTokenRoom = 256;  // the longest text and its zero byte
    bool AppendRun(std::span<const TTokenRef> tokens);
    void AppendOne(const TTokenRef& token);
    size_t capacity_;                // tokens
    size_t textBytes_;               // the room of texts_
    std::vector<TTokenRef> tokens_;  // texts point into texts_
    std::unique_ptr<char[]> texts_;  // never reallocated while tokens point into it
    size_t textsUsed_ = 0;
  };

  void HandOver();
  void WaitForWorker(std::unique_lock<std::mutex>& lock);
  void Work();

  TTokenSink& target_;
  bool direct_;     // one processor: no blocks, no worker
  TBlock filling_;  // the calling thread's
  TBlock handed_;   // the worker's while pending_
  std::mutex mutex_;
  std::condition_variable changed_;
  bool pending_ = false;  // handed_ waits for the worker or is in work
  bool stop_ = false;
  std::exception_ptr error_;  // the target's first exception
  std::thread worker_;        // started at the first full block
};

}  // namespace quenterra
