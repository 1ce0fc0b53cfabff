#include "desktop/TextWindowRules.h"

#include <algorithm>
#include <cctype>

#include "corpus/FileStrings.h"

namespace quenterra {

namespace {

bool IsWebAddress(const std::string& name) {
  std::string start = name.substr(0, 7);
  std::transform(start.begin(), start.end(), start.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return start.starts_with("http://") || start.starts_with("ftp://");
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::string CorpusTextCaption(const std::string& fileName) {
  if (IsWebAddress(fileName)) return std::string(kCorpusTextCaption) + " - " + fileName;
  const size_t slash = fileName.find_last_of('/');
  return std::string(kCorpusTextCaption) + " - " +
         (slash == std::string::npos ? fileName : fileName.substr(slash + 1));
}

// ---- Display switches -------------------------------------------------------------------------

bool TSuppressSwitches::Toggle(TSuppress which) {
  bool& on = on_[Index(which)];
  if (!on && std::count(on_.begin(), on_.end(), true) >= kMaxOn) return false;
  on = !on;
  return true;
}

void TSuppressSwitches::ApplyTo(TFileStrings& lines) const {
  lines.SetSuppressNormalTags(On(TSuppress::kTags));
  lines.SetSuppressWordTags(On(TSuppress::kPartOfSpeech));
  lines.SetSuppressWords(On(TSuppress::kWords));
}

std::string PrintQuestion(int64_t lines) {
  if (lines <= kPrintQuietLines) return {};
  return "Print complete text of corpus?\r\n(Approximately " + std::to_string(lines) + " lines)";
}

// ---- Layout -----------------------------------------------------------------------------------

std::vector<TRow> WrapLine(std::u16string_view text, int width,
                           const std::function<int(int)>& widthOf) {
  std::vector<TRow> rows;
  const int length = static_cast<int>(text.size());
  int rowStart = 0;
  int x = 0;
  int lastSpace = -1;  // in the current row
  for (int i = 0; i < length; ++i) {
    const int w = widthOf(i);
    if (x + w > width && i > rowStart) {
      const int cut = lastSpace >= rowStart ? lastSpace + 1 : i;
      rows.push_back({rowStart, cut});
      rowStart = cut;
      x = 0;
      for (int k = cut; k < i; ++k) x += widthOf(k);
    }
    x += w;
    if (IsSpace(text[static_cast<size_t>(i)])) lastSpace = i;
  }
  rows.push_back({rowStart, length});
  return rows;
}

TScrollScale::TScrollScale(int64_t lines, int visible)
    : range_(lines + visible - 2), lastTop_(std::max<int64_t>(lines - 1, 0)) {}

int TScrollScale::Thumb(int64_t top) const {
  if (!Scaled()) return static_cast<int>(top);
  return static_cast<int>(top * kMaxThumb / range_);
}

int64_t TScrollScale::TopOf(int thumb) const {
  int64_t top = thumb;
  if (Scaled()) {
    if (thumb < 2) return 0;
    if (thumb >= kMaxThumb - 6) return lastTop_;
    top = range_ * thumb / kMaxThumb;
  }
  return std::clamp<int64_t>(top, 0, lastTop_);
}

}  // namespace quenterra
