#include "support/CorpusTestKit.h"

#include <algorithm>
#include <cstring>

#include "platform/Coding.h"
#include "platform/Messages.h"

namespace quenterra::test {

std::string Fixed32s(std::initializer_list<uint32_t> values) {
  std::string out;
  for (uint32_t value : values) {
    char bytes[4];
    EncodeFixed32(bytes, value);
    out.append(bytes, 4);
  }
  return out;
}

int64_t TStringStream::GetSize() const {
  return claimedSize >= 0 ? claimedSize : static_cast<int64_t>(data_.size());
}

int64_t TStringStream::Read(void* buffer, int64_t count) {
  ++reads;
  if (maxRead_ > 0) count = std::min(count, maxRead_);
  int64_t n = std::clamp<int64_t>(static_cast<int64_t>(data_.size()) - position_, 0, count);
  std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TStringStream::Seek(int64_t offset, TSeekOrigin origin) {
  position_ = offset + (origin == TSeekOrigin::kCurrent ? position_
                        : origin == TSeekOrigin::kEnd   ? GetSize()
                                                        : 0);
  return position_;
}

std::vector<std::string> TPrivateTmpDir::Files() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quenterra::test
