#include "platform/Progress.h"

#include <utility>

namespace quenterra {

namespace {
TProgressFactory& Factory() {
  static TProgressFactory factory;
  return factory;
}
}  // namespace

void InstallProgressFactory(TProgressFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<TProgress> ShowProgress(TProgressKind kind, const std::string& caption) {
  if (Factory()) {
    if (auto progress = Factory()(kind, caption)) return progress;
  }
  return std::make_unique<TNullProgress>();
}

TProgressCallback GaugeCallback(TProgress* progress) {
  return [progress](bool setMax, int64_t n) {
    if (progress == nullptr) return;
    if (setMax) {
      progress->SetMax(n);
    } else {
      progress->SetPosition(n);
    }
  };
}

}  // namespace quenterra
