#include "dialogs/ExtractOptions.h"

#include <algorithm>

#include "dialogs/TypedText.h"
#include "platform/Messages.h"

namespace quenterra {

TExtractOptions TExtractOptions::FromSettings(const ZuzadovUdirev& config,
                                              const TExtractHistory& history, bool batch,
                                              TSearchKind kind) {
  TExtractOptions dialog;
  dialog.Batch = batch;
  dialog.Span = std::clamp(config.SpanRange, kMinSpan, kMaxSpan);
  if (batch) {
    dialog.Kind = ValidSearchKind(history.LastBatchSyntax);
    dialog.BatchLines = history.Batch;
  } else {
    dialog.SelectKind(kind, history);
  }
  return dialog;
}

void TExtractOptions::SelectKind(TSearchKind kind, const TExtractHistory& history) {
  Kind = kind;
  if (Batch) return;
  const std::vector<std::string>& patterns = History(history);
  Pattern = patterns.empty() ? std::string() : patterns.front();
}

std::unique_ptr<TExtractRecords> TExtractOptions::Build(const ZuzadovUdirev& config,
                                                        const TLangTables& tables) const {
  try {
    return ParseExtractRequest(Kind, Batch, Batch ? BatchLines : std::vector<std::string>{Pattern},
                               config, tables);
  } catch (const EQuenterra& error) {
    // The message may quote a character of the pattern, which is in the corpus encoding.
    MsgError(ShownText(error.what(), tables));
    return nullptr;
  }
}

std::unique_ptr<TExtractRecords> TExtractOptions::Store(ZuzadovUdirev& config,
                                                        TExtractHistory& history,
                                                        const TLangTables& tables) const {
  if (Batch) {
    history.SetBatch(Kind, BatchLines);
  } else {
    history.AddPattern(Kind, Pattern);
  }
  config.SpanRange = std::clamp(Span, kMinSpan, kMaxSpan);
  return Build(config, tables);
}

}  // namespace quenterra
