// The rules of the options dialog of the n-gram extraction and the full extract. In its n-gram
// form ("N-Gram Options") it sets the span and the use of tags; in its full-extract form ("Full
// Extract Options") also the spans' lower end and the two filters. The dialog binds its controls
// to a TFEOptions: edits to the texts, up-downs to the spans and arrows, radio buttons to the
// Select methods, key presses to the Accepts filters, OK to Accept. The full-extract form's span
// limits are the engine's (engine/FullExtract.h).
//
// While open, the dialog keeps one working value per filter method, so switching methods shows
// each method's own value again.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/FullExtract.h"
#include "engine/Scores.h"
#include "settings/Settings.h"

namespace quenterra {

inline constexpr char kNGramOptionsCaption[] = "N-Gram Options";
inline constexpr char kFEOptionsCaption[] = "Full Extract Options";
inline constexpr char kSpanOrderWarningTitle[] = "Warning";
inline constexpr int kNGramSpanLow = 2;  // the n-gram form's span
inline constexpr int kNGramSpanHigh = 12;

// What OK did.
enum class TFEOkResult {
  kAccepted,    // the settings are written; the run may start
  kSpanOrder,   // the warning was shown; the dialog stays open, focus on Max. Span
  kNotANumber,  // a value is no number: the error was shown, the dialog ends, nothing written
};

class TFEOptions {
 public:
  // Opens the dialog. In the full-extract form a stored Min_Span not below the stored Max_Span
  // makes the stored Max_Span Min_Span + 1 at once, which stays even after Cancel. The Use POS
  // Tags box is enabled only when word tags are configured (config.WordTag not 0).
  static TFEOptions FromSettings(bool ngramForm, TFullExtractOptions& stored,
                                 const ZuzadovUdirev& config);

  bool NGramForm() const { return ngramForm_; }
  const char* Caption() const { return ngramForm_ ? kNGramOptionsCaption : kFEOptionsCaption; }
  const char* MaxSpanLabel() const { return ngramForm_ ? "Span:" : "Max. Span:"; }

  // The span up-downs; new positions are brought into their ranges. A Min. Span of 3 or more
  // selects Mutual Information in the initial filter (the only score beyond two words).
  int MinSpan() const { return minSpan_; }
  int MaxSpan() const { return maxSpan_; }
  int MaxSpanLow() const { return ngramForm_ ? kNGramSpanLow : kFEMaxSpanLow; }
  int MaxSpanHigh() const { return ngramForm_ ? kNGramSpanHigh : kFEMaxSpanHigh; }
  void SetMinSpan(int value);
  void SetMaxSpan(int value);
  // Typed span text moves the up-down when it reads as a number; leaving the edit shows the
  // position again (the binding rewrites the text from MinSpan() / MaxSpan()).
  void SetMinSpanText(const std::string& text);
  void SetMaxSpanText(const std::string& text);

  bool TagsEnabled() const { return tagsEnabled_; }
  bool UsePOSTags() const { return usePOSTags_; }
  void SetUsePOSTags(bool on) { usePOSTags_ = on && tagsEnabled_; }

  // Initial filter: kTScore, kMutualInfo or kLogLikelihood. Selecting another method first
  // keeps the edit's value (when it reads as a number) for the method selected before, then
  // shows the new method's label and working value ("0.0000").
  TScoreMethod InitialMethod() const { return initialMethod_; }
  void SelectInitialMethod(TScoreMethod method);
  const char* InitialLabel() const;  // "Minimum T-Score", "Minimum MI", "Minimum LL"
  const std::string& InitialText() const { return initialText_; }
  void SetInitialText(std::string text) { initialText_ = std::move(text); }
  // The arrows: one tenth up or down on a grid of tenths; a text that is no number counts as 0.
  void InitialArrow(bool up) { initialText_ = StepTenth(initialText_, up); }

  // Extended filter: kCost ("Cost Criteria", an integer) or kMutualInfo ("0.0000").
  TScoreMethod ExtendedMethod() const { return extendedMethod_; }
  void SelectExtendedMethod(TScoreMethod method);
  const std::string& ExtendedText() const { return extendedText_; }
  void SetExtendedText(std::string text) { extendedText_ = std::move(text); }
  // Mutual Information: as InitialArrow; Cost Criteria: plus or minus 1, never below 1.
  void ExtendedArrow(bool up);

  // Key filters: whether an edit takes character c typed at `at` into `text`. Codes up to 32
  // always pass. Span edits and the Cost Criteria value take digits; the number edits digits,
  // one decimal point ('.' or the user's decimal separator) and one '-' as the first character.
  static bool SpanEditAccepts(char c);
  static bool NumberEditAccepts(const std::string& text, size_t at, char c);
  bool InitialEditAccepts(size_t at, char c) const {
    return NumberEditAccepts(initialText_, at, c);
  }
  bool ExtendedEditAccepts(size_t at, char c) const;

  // OK: on acceptance the values are stored into `options`. Shows the span warning or the
  // conversion error through the message functions; nothing is stored then.
  TFEOkResult Accept(TFullExtractOptions& options);

  // "0.0000" with the user's decimal separator.
  static std::string FormatValue(double value);
  // A number as the edits hold it: an optional '-', digits with one '.' or decimal separator.
  static bool ParseValue(const std::string& text, double& value);
  static bool ParseInteger(const std::string& text, int32_t& value);
  static std::string StepTenth(const std::string& text, bool up);

 private:
  static int InitialSlot(TScoreMethod method);  // index into initialValues_
  void KeepInitialText();
  void KeepExtendedText();

  explicit TFEOptions(bool ngramForm) : ngramForm_(ngramForm) {}

  bool ngramForm_;
  int minSpan_ = kFEMinSpanLow;
  int maxSpan_ = kFEMaxSpanLow;
  bool tagsEnabled_ = false;
  bool usePOSTags_ = false;
  TScoreMethod initialMethod_ = TScoreMethod::kNone;
  std::array<double, 3> initialValues_{};  // T-Score, Mutual Information, Log-likelihood
  std::string initialText_;
  TScoreMethod extendedMethod_ = TScoreMethod::kNone;
  int32_t costValue_ = 0;       // Cost Criteria
  double extendedMIValue_ = 0;  // Mutual Information
  std::string extendedText_;
};

}  // namespace quenterra
