// The corpus text window's rules without a widget: its caption, the three display switches of
// which at most two may be on, the question asked before a long print, and the layout arithmetic
// of the view that draws the lines: wrapping a line into rows and scaling the vertical scroll bar
// when a file has more lines than its positions can count.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quenterra {

class TFileStrings;

inline constexpr char kCorpusTextCaption[] = "Corpus Text";

// "Corpus Text - " and the file name without directory; a web address ("http://", "ftp://",
// letter case ignored) is shown whole.
std::string CorpusTextCaption(const std::string& fileName);

// The text window's display switches, in menu order.
enum class TSuppress : uint8_t { kTags, kPartOfSpeech, kWords };

class TSuppressSwitches {
 public:
  static constexpr int kMaxOn = 2;

  bool On(TSuppress which) const { return on_[Index(which)]; }
  // Inverts the switch, unless that would switch on a third one. Returns whether it changed.
  bool Toggle(TSuppress which);
  // Sets the line list's switches to these.
  void ApplyTo(TFileStrings& lines) const;

 private:
  static size_t Index(TSuppress which) { return static_cast<size_t>(which); }
  std::array<bool, 3> on_{};
};

// Printing asks first when more lines than this are counted.
inline constexpr int64_t kPrintQuietLines = 100;
// The confirmation asked before printing `lines` counted lines, or "" when none is asked.
std::string PrintQuestion(int64_t lines);

// ---- The view's layout ------------------------------------------------------------------------

// One screen row of a wrapped line: the characters [begin, end) of the line.
struct TRow {
  int begin = 0;
  int end = 0;
  bool operator==(const TRow&) const = default;
};

// Cuts a line into rows no wider than `width`, where widthOf(i) is the width of text[i] (a tab
// counting as a space; 0 for the second half of a surrogate pair, so that a pair never splits).
// A row that would pass the edge is cut just after its last space, the text after that space
// moving on with the character; a row without a space is cut before the character. Rows keep
// their trailing spaces; every row holds at least one character, and an empty line is one empty
// row.
std::vector<TRow> WrapLine(std::u16string_view text, int width,
                           const std::function<int(int)>& widthOf);

// The vertical scroll bar over `lines` lines of which `visible` fit: its range is lines +
// visible - 2. Scroll bar positions stop at 32767, so from a range of 32768 on the thumb shows
// the top line scaled into 0..32767, and a thumb position is scaled back into a line.
class TScrollScale {
 public:
  static constexpr int64_t kLimit = 32768;
  static constexpr int kMaxThumb = 32767;

  TScrollScale(int64_t lines, int visible);

  bool Scaled() const { return range_ >= kLimit; }
  int64_t Range() const { return range_; }
  // The highest top line (the last line).
  int64_t LastTop() const { return lastTop_; }
  // The thumb position that shows top line `top`.
  int Thumb(int64_t top) const;
  // The top line for a thumb position the user chose.
  int64_t TopOf(int thumb) const;

 private:
  int64_t range_;
  int64_t lastTop_;
};

}  // namespace quenterra
