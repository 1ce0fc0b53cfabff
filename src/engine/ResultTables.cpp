#include "engine/ResultTables.h"

#include <cmath>
#include <limits>

#include "engine/NGrams.h"

namespace quenterra {

namespace {

constexpr double kNoNumber = std::numeric_limits<double>::quiet_NaN();

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "Concordance ( 1 line )", "( 3 lines )".
std::string CountTitle(const std::string& caption, int64_t count, const std::string& noun) {
  return caption + " ( " + std::to_string(count) + " " + noun + (count == 1 ? "" : "s") + " )";
}

TTableFact NumberFact(const std::string& title, const std::string& key, int64_t value) {
  return {title, key, std::to_string(value), true};
}

TTableColumn TextColumn(const std::string& title, const std::string& key, bool right = false) {
  return {title, key, TCellKind::kText, 0, right};
}

TTableColumn IntegerColumn(const std::string& title, const std::string& key) {
  return {title, key, TCellKind::kInteger, 0, true};
}

}  // namespace

// --- Concordance ---

TConcordanceTable::TConcordanceTable(std::unique_ptr<TConcordance> concordance,
                                     std::vector<std::string> fileNames, std::string pattern,
                                     TConcordanceView view)
    : TResultTable(concordance->Tables()),
      concordance_(std::move(concordance)),
      pattern_(std::move(pattern)),
      view_(view) {
  for (const std::string& name : fileNames) fileNames_.push_back(BaseName(name));
}

std::string TConcordanceTable::Title() const {
  return CountTitle(kConcordanceCaption, RowCount(), "line");
}

std::vector<TTableFact> TConcordanceTable::Facts() const {
  return {{"Pattern", "pattern", pattern_, false}};
}

std::vector<TTableColumn> TConcordanceTable::Columns() const {
  return {TextColumn("File", "file"), IntegerColumn("Position", "position"),
          TextColumn("Left", "left", true), TextColumn("Node", "node"),
          TextColumn("Right", "right")};
}

std::string TConcordanceTable::Text(int row, int column) const {
  switch (column) {
    case 0: {
      const auto file = static_cast<size_t>(concordance_->Line(row).file);
      return file < fileNames_.size() ? fileNames_[file] : std::to_string(file);
    }
    case 2:
      return concordance_->LeftText(row, view_);
    case 3:
      return concordance_->NodeText(row, view_);
    case 4:
      return concordance_->RightText(row, view_);
  }
  return "";
}

double TConcordanceTable::Number(int row, int column) const {
  return column == 1 ? concordance_->Line(row).first : kNoNumber;
}

std::vector<std::string> TConcordanceTable::SortNames() const {
  std::vector<std::string> names{"File and position", "Node"};
  for (int d = 1; d <= kMaxSortDistance; ++d) names.push_back("L" + std::to_string(d));
  for (int d = 1; d <= kMaxSortDistance; ++d) names.push_back("R" + std::to_string(d));
  return names;
}

void TConcordanceTable::SortBy(int order) {
  TConcordanceSortKey key;
  if (order == 1) key.kind = TConcordanceSortKind::kNode;
  if (order >= 2) {
    const bool left = order < 2 + kMaxSortDistance;
    key.kind = left ? TConcordanceSortKind::kLeft : TConcordanceSortKind::kRight;
    key.distance = left ? order - 1 : order - 1 - kMaxSortDistance;
  }
  concordance_->Sort({key});
}

// --- Collocates ---

TCollocateTable::TCollocateTable(std::unique_ptr<TConcordance> nodes,
                                 std::unique_ptr<TCollocateList> list, std::string pattern,
                                 std::vector<TCollocateScore> scores)
    : TResultTable(list->Tables()),
      nodes_(std::move(nodes)),
      list_(std::move(list)),
      pattern_(std::move(pattern)),
      scores_(std::move(scores)) {}

std::string TCollocateTable::Title() const {
  return CountTitle("Collocate List", RowCount(), "collocate");
}

std::vector<TTableFact> TCollocateTable::Facts() const {
  return {{"Node", "node", pattern_, false},
          NumberFact("Node frequency", "nodeFrequency", list_->NodeFrequency()),
          NumberFact("Corpus words", "corpusWords", list_->CorpusWords()),
          {"Window", "window",
           "L" + std::to_string(list_->Left()) + " R" + std::to_string(list_->Right()), false}};
}

std::vector<TCollocateTable::TSlot> TCollocateTable::Slots() const {
  std::vector<TSlot> slots{{TPart::kWord, 0}};
  if (list_->Tagged()) slots.push_back({TPart::kTag, 0});
  slots.push_back({TPart::kTotal, 0});
  for (int d = list_->Left(); d >= 1; --d) slots.push_back({TPart::kLeft, d});
  for (int d = 1; d <= list_->Right(); ++d) slots.push_back({TPart::kRight, d});
  slots.push_back({TPart::kFreq, 0});
  slots.push_back({TPart::kNode, 0});
  slots.push_back({TPart::kN, 0});
  for (TCollocateScore score : scores_) slots.push_back({TPart::kScore, static_cast<int>(score)});
  return slots;
}

std::vector<TTableColumn> TCollocateTable::Columns() const {
  std::vector<TTableColumn> columns;
  for (const TSlot& slot : Slots()) {
    const std::string d = std::to_string(slot.index);
    switch (slot.part) {
      case TPart::kWord:
        columns.push_back(TextColumn("Collocate", "collocate"));
        break;
      case TPart::kTag:
        columns.push_back(TextColumn("Tag", "tag"));
        break;
      case TPart::kTotal:
        columns.push_back(IntegerColumn("Freq", "freq"));
        break;
      case TPart::kLeft:
        columns.push_back(IntegerColumn("L" + d, "L" + d));
        break;
      case TPart::kRight:
        columns.push_back(IntegerColumn("R" + d, "R" + d));
        break;
      case TPart::kFreq:
        columns.push_back(IntegerColumn("Coll. Freq", "collocateFreq"));
        break;
      case TPart::kNode:
        columns.push_back(IntegerColumn("Node Freq", "nodeFreq"));
        columns.back().machineOnly = true;
        break;
      case TPart::kN:
        columns.push_back(IntegerColumn("N", "corpusWords"));
        columns.back().machineOnly = true;
        break;
      case TPart::kScore: {
        const auto score = static_cast<TCollocateScore>(slot.index);
        columns.push_back(
            {CollocateScoreTitle(score), CollocateScoreName(score), TCellKind::kReal, 6, true});
        break;
      }
    }
  }
  return columns;
}

std::string TCollocateTable::Text(int row, int column) const {
  const TSlot slot = Slots().at(static_cast<size_t>(column));
  if (slot.part == TPart::kWord) return list_->WordText(row);
  if (slot.part == TPart::kTag) return list_->TagText(row);
  return "";
}

double TCollocateTable::Number(int row, int column) const {
  const TSlot slot = Slots().at(static_cast<size_t>(column));
  const TCollocate& item = list_->Item(row);
  switch (slot.part) {
    case TPart::kTotal:
      return item.total;
    case TPart::kLeft:
      return item.Left(slot.index);
    case TPart::kRight:
      return item.Right(slot.index);
    case TPart::kFreq:
      return static_cast<double>(item.frequency);
    case TPart::kNode:
      return static_cast<double>(list_->NodeFrequency());
    case TPart::kN:
      return static_cast<double>(list_->CorpusWords());
    case TPart::kScore:
      return item.Score(static_cast<TCollocateScore>(slot.index));
    default:
      return kNoNumber;
  }
}

std::vector<TCollocateSortKey> TCollocateTable::SortKeys() const {
  std::vector<TCollocateSortKey> keys{{TCollocateSortKind::kTotal}, {TCollocateSortKind::kAlpha}};
  for (TCollocateScore score : scores_) keys.push_back({TCollocateSortKind::kScore, score});
  for (int d = 1; d <= list_->Left(); ++d) keys.push_back({TCollocateSortKind::kLeft, {}, d});
  for (int d = 1; d <= list_->Right(); ++d) keys.push_back({TCollocateSortKind::kRight, {}, d});
  return keys;
}

std::vector<std::string> TCollocateTable::SortNames() const {
  std::vector<std::string> names;
  for (const TCollocateSortKey& key : SortKeys()) {
    switch (key.kind) {
      case TCollocateSortKind::kTotal:
        names.push_back("Frequency");
        break;
      case TCollocateSortKind::kAlpha:
        names.push_back("Alpha");
        break;
      case TCollocateSortKind::kScore:
        names.push_back(CollocateScoreTitle(key.score));
        break;
      case TCollocateSortKind::kLeft:
        names.push_back("L" + std::to_string(key.distance));
        break;
      case TCollocateSortKind::kRight:
        names.push_back("R" + std::to_string(key.distance));
        break;
    }
  }
  return names;
}

void TCollocateTable::SortBy(int order) { list_->Sort(SortKeys().at(static_cast<size_t>(order))); }

// --- Word list ---

TWordListTable::TWordListTable(std::unique_ptr<TWordList> list)
    : TResultTable(list->Tables()), list_(std::move(list)) {}

std::string TWordListTable::Title() const {
  return CountTitle(kWordListCaption, RowCount(), "word");
}

std::vector<TTableFact> TWordListTable::Facts() const {
  return {NumberFact("Running words", "corpusWords", list_->CorpusWords()),
          NumberFact("Files", "files", list_->FileCount())};
}

std::vector<TTableColumn> TWordListTable::Columns() const {
  std::vector<TTableColumn> columns{TextColumn("Word", "word")};
  if (list_->Tagged()) columns.push_back(TextColumn("Tag", "tag"));
  columns.push_back(IntegerColumn("Freq", "freq"));
  columns.push_back(IntegerColumn("Range", "range"));
  columns.push_back({"Per million", "perMillion", TCellKind::kReal, 2, true});
  return columns;
}

std::string TWordListTable::Text(int row, int column) const {
  if (column == 0) return list_->WordText(row);
  if (column == 1 && list_->Tagged()) return list_->TagText(row);
  return "";
}

double TWordListTable::Number(int row, int column) const {
  const int first = list_->Tagged() ? 2 : 1;
  const TWordEntry& entry = list_->Item(row);
  switch (column - first) {
    case 0:
      return static_cast<double>(entry.frequency);
    case 1:
      return entry.range;
    case 2:
      return list_->PerMillion(row);
  }
  return kNoNumber;
}

std::vector<std::string> TWordListTable::SortNames() const {
  return {"Frequency", "Alpha", "Range"};
}

void TWordListTable::SortBy(int order) {
  list_->Sort(order == 1 ? TWordListSortKey::kAlpha
                         : (order == 2 ? TWordListSortKey::kRange : TWordListSortKey::kFrequency));
}

// --- Keywords ---

TKeywordTable::TKeywordTable(std::unique_ptr<TKeywordList> list, const TLangTables& tables)
    : TResultTable(tables), list_(std::move(list)) {}

std::string TKeywordTable::Title() const { return CountTitle(kKeynessCaption, RowCount(), "word"); }

std::vector<TTableFact> TKeywordTable::Facts() const {
  return {NumberFact("Study words", "studyWords", list_->StudyWords()),
          NumberFact("Reference words", "referenceWords", list_->ReferenceWords())};
}

std::vector<TTableColumn> TKeywordTable::Columns() const {
  return {TextColumn("Word", "word"),
          IntegerColumn("Study", "study"),
          IntegerColumn("Reference", "reference"),
          {"LL", "ll", TCellKind::kReal, 2, true},
          {"%DIFF", "percentDiff", TCellKind::kReal, 2, true}};
}

std::string TKeywordTable::Text(int row, int column) const {
  return column == 0 ? Tables().FromUtf8(list_->Item(row).text) : "";
}

double TKeywordTable::Number(int row, int column) const {
  const TKeyword& word = list_->Item(row);
  switch (column) {
    case 1:
      return static_cast<double>(word.study);
    case 2:
      return static_cast<double>(word.reference);
    case 3:
      return word.logLikelihood;
    case 4:
      return word.percentDiff;
  }
  return kNoNumber;
}

// --- Making them ---

std::unique_ptr<TConcordanceTable> MakeConcordanceTable(const TExtractRecords& records,
                                                        TTextIndex& index, const TRunSettings& run,
                                                        std::vector<std::string> fileNames,
                                                        const TConcordanceView& view) {
  auto concordance = std::make_unique<TConcordance>(index, run.tables, run.config,
                                                    TConcordanceSettings::FromSettings(run.config));
  concordance->Search(records);
  return std::make_unique<TConcordanceTable>(std::move(concordance), std::move(fileNames),
                                             records.Caption(), view);
}

std::unique_ptr<TCollocateTable> MakeCollocateTable(const TExtractRecords& records,
                                                    TTextIndex& index, const TRunSettings& run,
                                                    const TCollocateSettings& shape,
                                                    std::vector<TCollocateScore> scores) {
  auto nodes = std::make_unique<TConcordance>(index, run.tables, run.config,
                                              TConcordanceSettings::FromSettings(run.config));
  nodes->Search(records);
  TCollocateSettings settings = TCollocateSettings::FromSettings(run, index);
  settings.left = shape.left;
  settings.right = shape.right;
  settings.useTags = shape.useTags && run.config.WordTag != 0;
  settings.minCollocateFreq = shape.minCollocateFreq;
  auto list = std::make_unique<TCollocateList>(*nodes, settings, CorpusWords(index, run.config));
  return std::make_unique<TCollocateTable>(std::move(nodes), std::move(list), records.Caption(),
                                           std::move(scores));
}

std::unique_ptr<TWordListTable> MakeWordListTable(TTextIndex& index, const TRunSettings& run,
                                                  bool useTags) {
  return std::make_unique<TWordListTable>(std::make_unique<TWordList>(
      index, run.tables, TWordListSettings::FromSettings(run, index, useTags)));
}

std::vector<TCollocateScore> AllCollocateScores() {
  std::vector<TCollocateScore> all;
  for (int s = 0; s < kCollocateScoreCount; ++s) all.push_back(static_cast<TCollocateScore>(s));
  return all;
}

}  // namespace quenterra
