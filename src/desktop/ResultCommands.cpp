#include "desktop/ResultCommands.h"

#include "platform/FlagScope.h"

namespace quenterra {

void TResultCommands::Run(const std::function<std::unique_ptr<TResultTable>()>& make, int order) {
  // A list item's context menu stays open to the user while other long work runs.
  if (session_.Corpus().Index() == nullptr || session_.WorkerRunning()) return;
  std::unique_ptr<TResultTable> table;
  front_.RunLong([&] { table = make(); }, false);
  if (table != nullptr) show_(std::move(table), order);
}

void TResultCommands::Concordance() {
  TFlagScope extracting(session_.Extracting());
  ConcordanceOf(session_.Dialogs().extract(false, TSearchKind::kWordPhrase));
}

void TResultCommands::ConcordanceOf(std::unique_ptr<TExtractRecords> records) {
  if (records == nullptr || records->RecordCount() == 0) return;
  TFlagScope extracting(session_.Extracting());
  Run([&]() -> std::unique_ptr<TResultTable> {
    return MakeConcordanceTable(*records, *session_.Corpus().Index(), session_.Settings().Run(),
                                session_.Corpus().FileNames(), TConcordanceView{});
  });
}

void TResultCommands::Collocates() {
  TFlagScope extracting(session_.Extracting());
  std::unique_ptr<TExtractRecords> records =
      session_.Dialogs().extract(false, TSearchKind::kWordPhrase);
  if (records == nullptr || records->RecordCount() == 0) return;
  if (!session_.Dialogs().collocateOptions(collocateOptions_)) return;
  const TCollocateOptions& options = collocateOptions_;
  // Every score sorts by the total (order 0); a single score is the third order, after the
  // total and the text.
  Run(
      [&]() -> std::unique_ptr<TResultTable> {
        return MakeCollocateTable(*records, *session_.Corpus().Index(), session_.Settings().Run(),
                                  options.Shape(), options.Scores());
      },
      options.score ? 2 : 0);
}

void TResultCommands::WordList() {
  TFlagScope extracting(session_.Extracting());
  Run([&]() -> std::unique_ptr<TResultTable> {
    return MakeWordListTable(*session_.Corpus().Index(), session_.Settings().Run(), false);
  });
}

std::unique_ptr<TExtractRecords> TResultCommands::ItemRequest(const TCollocationList& list,
                                                              int item) const {
  const TCollocItem& entry = list.Item(item);
  const bool tagged = entry.tags != nullptr;
  const TSearchKind kind = tagged ? TSearchKind::kWordTag : TSearchKind::kWordPhrase;
  const TProgramSettings& settings = session_.Settings();
  auto records = std::make_unique<TExtractRecords>(kind, list.CollocationText(item));
  TExtractRecord record(kind, list.CollocationText(item));
  for (int j = 0; j < list.WordCount() && entry.words[j] >= 0; ++j) {
    const TIndexToken& word = list.Index().GetToken(static_cast<uint32_t>(entry.words[j]));
    std::string tag;
    if (tagged) {
      settings.tables.Coding().Append(tag, settings.config.WildCard0orMore);
      if (entry.tags[j] >= 0)
        tag = list.Index().GetToken(static_cast<uint32_t>(entry.tags[j])).text;
    }
    record.AddTerm(TExtractTerm(word.text, false, tag, settings.config, settings.tables));
  }
  records->AddRecord(std::move(record));
  return records;
}

std::unique_ptr<TExtractRecords> TResultCommands::WordRequest(const std::string& word,
                                                              const std::string& tag) const {
  const TSearchKind kind = tag.empty() ? TSearchKind::kWordPhrase : TSearchKind::kWordTag;
  const TProgramSettings& settings = session_.Settings();
  auto records = std::make_unique<TExtractRecords>(kind, word);
  TExtractRecord record(kind, word);
  record.AddTerm(TExtractTerm(word, false, tag, settings.config, settings.tables));
  records->AddRecord(std::move(record));
  return records;
}

}  // namespace quenterra
