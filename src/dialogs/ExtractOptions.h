// The rules of the extract dialog: the search kind, the pattern (or a batch of patterns) and the
// span, with the pattern histories. A form binds its widgets to a TExtractOptions and calls it
// for opening, the radio buttons, OK and the result; the grammar is patterns/ExtractPattern.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "corpus/LangTables.h"
#include "engine/collocExtract.h"
#include "patterns/ExtractPattern.h"
#include "settings/ExtractHistory.h"
#include "settings/Settings.h"

namespace quenterra {

// What the extract dialog holds while it is open.
struct TExtractOptions {
  bool Batch = false;
  TSearchKind Kind = TSearchKind::kWordPhrase;  // the checked radio button
  std::string Pattern;                          // SearchString (normal mode)
  std::vector<std::string> BatchLines;          // BatchStrings (batch mode)
  int32_t Span = kMinSpan;                      // SpanUD, 2 to 12

  // Opening: the span from SpanRange; batch mode takes LastBatchSyntax and the Batch history,
  // normal mode the requested kind and the most recent pattern of its history.
  static TExtractOptions FromSettings(const ZuzadovUdirev& config, const TExtractHistory& history,
                                      bool batch, TSearchKind kind);
  // A radio button was checked: in normal mode the pattern field shows the most recent pattern
  // of that kind's history (empty when it has none).
  void SelectKind(TSearchKind kind, const TExtractHistory& history);
  // The entries of the pattern field's drop-down: the history of the checked kind.
  const std::vector<std::string>& History(const TExtractHistory& history) const {
    return history.ForKind(Kind);
  }
  std::string Examples(const ZuzadovUdirev& config, const TCharCoding& coding) const {
    return ExtractExamples(Kind, config, coding);
  }
  // The Word/Tag button is enabled only when the corpus carries word tags (WordTag not 0).
  static bool WordTagEnabled(const ZuzadovUdirev& config) { return config.WordTag != 0; }

  // Parses the pattern (or every batch line) into a new request. On any error of the grammar or
  // of a regular expression shows its message with MsgError and returns null; in batch mode the
  // first faulty line rejects the whole batch. "The pattern is empty." when no line holds a term.
  std::unique_ptr<TExtractRecords> Build(const ZuzadovUdirev& config,
                                         const TLangTables& tables) const;
  // OK: parses once as a test. False (the error shown) keeps the dialog open with the focus in
  // the pattern field.
  bool Ok(const ZuzadovUdirev& config, const TLangTables& tables) const {
    return Build(config, tables) != nullptr;
  }
  // After an accepted OK: updates the histories (batch: LastBatchSyntax and the Batch lines;
  // normal: the pattern moves to the front of its kind's history), stores the span in SpanRange
  // and returns a fresh parse (null only when that fails).
  std::unique_ptr<TExtractRecords> Store(ZuzadovUdirev& config, TExtractHistory& history,
                                         const TLangTables& tables) const;
};

}  // namespace quenterra
