// A result shown as a table of rows and typed columns (the concordance, the collocates, the word
// list), and how any such table is written: as text laid out in columns (the window's saved file
// and the command line's default), as TSV and as JSON. The window binds its grid to the same
// interface, so the three forms and the screen show the same cells.
//
// Text form (UTF-8, CR LF line ends, every column padded to its widest cell; numbers and the
// columns marked alignRight are right-aligned):
//   Concordance ( 3 lines )                the title
//   <empty>
//   Pattern: in front of                   the facts, one a line, then an empty line
//   <empty>
//   File  Position  Left  Node  Right      the column titles
//   ____________________________           as long as the title line
//   <empty>
//   ...                                    one line per row
// Columns marked machineOnly are left out of the text form and the window.
// TSV (UTF-8, LF): the column keys, then one line per row; numbers with '.', "N/A" as empty.
// JSON (UTF-8): {"caption", "facts": {key: value}, "items": [{key: value}]}, undefined
// numbers as null.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "corpus/LangTables.h"

namespace quenterra {

enum class TCellKind : uint8_t { kText, kInteger, kReal };

struct TTableColumn {
  std::string title;  // on screen and in the text form
  std::string key;    // TSV header and JSON member
  TCellKind kind = TCellKind::kText;
  int decimals = 0;  // of a real column
  bool alignRight = false;
  bool machineOnly = false;  // in TSV and JSON only (a count that every row repeats)
};

// One line about the whole table ("Node frequency: 120").
struct TTableFact {
  std::string title;
  std::string key;    // JSON member
  std::string value;  // text in the corpus encoding, or a number in plain decimal with '.'
  bool number = false;
};

class TResultTable {
 public:
  explicit TResultTable(const TLangTables& tables) : tables_(tables) {}
  virtual ~TResultTable() = default;

  virtual std::string Caption() const = 0;  // the window's caption, corpus encoding
  virtual std::string Title() const = 0;    // "Concordance ( 3 lines )"
  virtual std::vector<TTableFact> Facts() const { return {}; }
  virtual std::vector<TTableColumn> Columns() const = 0;
  virtual int RowCount() const = 0;
  // A text cell, corpus encoding.
  virtual std::string Text(int row, int column) const = 0;
  // A number cell; NaN when undefined.
  virtual double Number(int row, int column) const = 0;

  // The orders the table offers (for a window's sort choice) and applying one of them.
  virtual std::vector<std::string> SortNames() const = 0;
  virtual void SortBy(int order) = 0;

  const TLangTables& Tables() const { return tables_; }

 private:
  const TLangTables& tables_;
};

// The columns of the text form and the window, as indices into Columns().
std::vector<int> ShownColumns(const TResultTable& table);
// A cell as shown: text in the corpus encoding; numbers in decimal with the given separator
// ("N/A" when undefined).
std::string CellText(const TResultTable& table, int row, int column, const TTableColumn& format,
                     char decimalSeparator);

// Every shown cell (ShownColumns) of every row, as CellText gives it: what a window paints, taken
// at once so that painting reads nothing of the index.
std::vector<std::vector<std::string>> ShownCells(const TResultTable& table, char decimalSeparator,
                                                 int limit = -1);

// The three forms (layouts above). `limit` rows at most when not negative.
void WriteTableText(std::ostream& out, const TResultTable& table, int limit = -1);
void WriteTableTsv(std::ostream& out, const TResultTable& table, int limit = -1);
void WriteTableJson(std::ostream& out, const TResultTable& table, int limit = -1);
// Creates or replaces the file with the text form. Throws EFileError when it cannot be written;
// the old file then stays as it was.
void SaveTableToFile(const std::string& fileName, const TResultTable& table);

}  // namespace quenterra
