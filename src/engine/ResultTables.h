// The concordance, the collocates and the word list as result tables (engine/ResultTable.h): their
// columns, cells, facts and sort orders, shared by the windows and the command line.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/Collocates.h"
#include "engine/Concordance.h"
#include "engine/Keyness.h"
#include "engine/ResultTable.h"
#include "engine/WordList.h"

namespace quenterra {

// File, Position (of the node's first token), Left, Node, Right. Sorts by file and position, by
// node, or by the word at L1 .. L5 or R1 .. R5.
class TConcordanceTable : public TResultTable {
 public:
  // Takes the concordance over. fileNames name the files by number (their base names are shown);
  // pattern is the request's caption.
  TConcordanceTable(std::unique_ptr<TConcordance> concordance, std::vector<std::string> fileNames,
                    std::string pattern, TConcordanceView view);

  const TConcordanceView& View() const { return view_; }
  void SetView(const TConcordanceView& view) { view_ = view; }
  TConcordance& Concordance() const { return *concordance_; }

  std::string Caption() const override { return pattern_; }
  std::string Title() const override;
  std::vector<TTableFact> Facts() const override;
  std::vector<TTableColumn> Columns() const override;
  int RowCount() const override { return concordance_->Count(); }
  std::string Text(int row, int column) const override;
  double Number(int row, int column) const override;
  std::vector<std::string> SortNames() const override;
  void SortBy(int order) override;

 private:
  std::unique_ptr<TConcordance> concordance_;
  std::vector<std::string> fileNames_;  // base names
  std::string pattern_;
  TConcordanceView view_;
};

// Collocate, Tag (when tagged), Freq (the total in the window), the frequency at each distance,
// the collocate's corpus frequency and the chosen scores; TSV and JSON also repeat the node
// frequency and N on every row.
class TCollocateTable : public TResultTable {
 public:
  // Takes the list and the nodes it was counted around over.
  TCollocateTable(std::unique_ptr<TConcordance> nodes, std::unique_ptr<TCollocateList> list,
                  std::string pattern, std::vector<TCollocateScore> scores);

  TCollocateList& List() const { return *list_; }

  std::string Caption() const override { return pattern_; }
  std::string Title() const override;
  std::vector<TTableFact> Facts() const override;
  std::vector<TTableColumn> Columns() const override;
  int RowCount() const override { return list_->Count(); }
  std::string Text(int row, int column) const override;
  double Number(int row, int column) const override;
  std::vector<std::string> SortNames() const override;
  void SortBy(int order) override;

 private:
  // What column c shows.
  enum class TPart : uint8_t { kWord, kTag, kTotal, kLeft, kRight, kFreq, kNode, kN, kScore };
  struct TSlot {
    TPart part;
    int index;  // the distance, or the score
  };
  std::vector<TSlot> Slots() const;
  std::vector<TCollocateSortKey> SortKeys() const;

  std::unique_ptr<TConcordance> nodes_;  // the list reads their index
  std::unique_ptr<TCollocateList> list_;
  std::string pattern_;
  std::vector<TCollocateScore> scores_;
};

// Word, Tag (when tagged), Freq, Range, Per million.
class TWordListTable : public TResultTable {
 public:
  // Takes the list over.
  explicit TWordListTable(std::unique_ptr<TWordList> list);

  TWordList& List() const { return *list_; }

  std::string Caption() const override { return kWordListCaption; }
  std::string Title() const override;
  std::vector<TTableFact> Facts() const override;
  std::vector<TTableColumn> Columns() const override;
  int RowCount() const override { return list_->Count(); }
  std::string Text(int row, int column) const override;
  double Number(int row, int column) const override;
  std::vector<std::string> SortNames() const override;
  void SortBy(int order) override;

 private:
  std::unique_ptr<TWordList> list_;
};

// Word, Study (its frequency there), Reference, LL, %DIFF. Sorts by LL or by %DIFF.
class TKeywordTable : public TResultTable {
 public:
  // Takes the list over; tables are the study corpus's (its texts show in its encoding).
  TKeywordTable(std::unique_ptr<TKeywordList> list, const TLangTables& tables);

  TKeywordList& List() const { return *list_; }

  std::string Caption() const override { return kKeynessCaption; }
  std::string Title() const override;
  std::vector<TTableFact> Facts() const override;
  std::vector<TTableColumn> Columns() const override;
  int RowCount() const override { return list_->Count(); }
  std::string Text(int row, int column) const override;
  double Number(int row, int column) const override;
  std::vector<std::string> SortNames() const override { return {"LL", "%DIFF"}; }
  void SortBy(int order) override { list_->Sort(order == 1); }

 private:
  std::unique_ptr<TKeywordList> list_;
};

// The tables of a request over the index, as the front ends show them. The search's cancel
// (engine/Concordance.h) keeps the lines found so far.
std::unique_ptr<TConcordanceTable> MakeConcordanceTable(const TExtractRecords& records,
                                                        TTextIndex& index, const TRunSettings& run,
                                                        std::vector<std::string> fileNames,
                                                        const TConcordanceView& view);
// The window, the tags and the collocate minimum come from `shape`; the fewest co-occurrences
// (Min_Word_Freq) and the stop list from the settings.
std::unique_ptr<TCollocateTable> MakeCollocateTable(const TExtractRecords& records,
                                                    TTextIndex& index, const TRunSettings& run,
                                                    const TCollocateSettings& shape,
                                                    std::vector<TCollocateScore> scores);
std::unique_ptr<TWordListTable> MakeWordListTable(TTextIndex& index, const TRunSettings& run,
                                                  bool useTags);
// Every score, in their order.
std::vector<TCollocateScore> AllCollocateScores();

}  // namespace quenterra
