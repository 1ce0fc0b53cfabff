#include "desktop/StandInDialogs.h"

#include "dialogs/ExtractOptions.h"
#include "platform/Messages.h"

namespace quenterra {

namespace {

std::unique_ptr<TExtractRecords> ExtractStandIn(TProgramSettings& settings, bool batch,
                                                TSearchKind kind) {
  TExtractOptions options =
      TExtractOptions::FromSettings(settings.config, settings.history, batch, kind);
  if (!batch || options.BatchLines.empty()) {
    std::string pattern;
    if (!InputQuery(ExtractStandInCaption(options.Kind), kExtractStandInPrompt, pattern))
      return nullptr;
    options.Batch = false;
    options.Pattern = pattern;
  }
  if (!options.Ok(settings.config, settings.tables)) return nullptr;
  return options.Store(settings.config, settings.history, settings.tables);
}

}  // namespace

const char* ExtractStandInCaption(TSearchKind kind) {
  switch (kind) {
    case TSearchKind::kRegExp:
      return "Regular Expression";
    case TSearchKind::kWordTag:
      return "Word / Tag";
    default:
      return "Word / Phrase";
  }
}

TSessionDialogs StandInDialogs(TProgramSettings& settings) {
  TSessionDialogs dialogs;
  dialogs.extract = [&settings](bool batch, TSearchKind kind) {
    return ExtractStandIn(settings, batch, kind);
  };
  dialogs.fullExtractOptions = [](bool) { return true; };
  auto unchanged = [] { return false; };
  dialogs.countOptions = unchanged;
  dialogs.constrainOptions = unchanged;
  dialogs.normalTags = unchanged;
  dialogs.wordTags = unchanged;
  dialogs.language = unchanged;
  return dialogs;
}

}  // namespace quenterra
