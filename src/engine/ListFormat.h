// What a collocation list shows and how it is written out: the shown columns, their titles and
// cell texts (shared by the list window's grid, its saved file and its printout), the saved
// text file, and the machine-readable TSV and JSON forms of the command line. The cells and the
// saved file hold the corpus encoding and the locale's decimal separator; TSV and JSON are for
// programs: valid UTF-8, and numbers with a '.' whatever the locale.
//
// Saved file (CR LF line ends):
//   Collocation List ( 3 collocations )
//   <empty>
//   Score method: Mutual Information       only when a score column is shown,
//   <empty>                                followed by an empty line
//   Freq<TAB>Mutual Inf.<TAB>Collocation   the titles of the shown columns
//   ____________________________           as long as the title line
//   <empty>
//   12<TAB>7.123456<TAB>take place         one line per item, in the list's order
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "engine/Scores.h"

namespace quenterra {

class TCollocationList;

// The columns a list window shows. Kept apart from the list: each window has its own.
struct TListView {
  bool showFrequency = true;                       // the frequency column
  TScoreMethod scoreMethod = TScoreMethod::kNone;  // the score column's method; kNone hides it
};

enum class TListColumn : uint8_t { kFrequency, kScore, kText };

// The shown columns, left to right: frequency, score, text; the text column always.
std::vector<TListColumn> ShownColumns(const TListView& view);
// "Freq", the method's column title (engine/Scores.h), "Collocation".
std::string ColumnTitle(TListColumn column, const TListView& view);
// The cell of item i (0-based, in the list's order): its Count in decimal, its Score in the
// display format of the shown method, or its collocation text.
std::string CellText(const TCollocationList& list, int i, TListColumn column,
                     const TListView& view);
// The titles, and the cells of item i, of the shown columns joined by tabs.
std::string TitleLine(const TListView& view);
std::string ItemLine(const TCollocationList& list, int i, const TListView& view);

// The saved file's text (layout above).
void WriteSavedList(std::ostream& out, const TCollocationList& list, const TListView& view);
// Creates or replaces the file with the saved text. Throws EFileError when it cannot be
// written; the old file then stays as it was.
void SaveListToFile(const std::string& fileName, const TCollocationList& list,
                    const TListView& view);

// TSV (UTF-8), LF line ends: the header "count\tscore\tposition\ttext", then one line per item in
// the list's order; without the frequency column shown, no count. The score is empty when no
// score column is shown, else in the display format with a '.'.
void WriteListTsv(std::ostream& out, const TCollocationList& list, const TListView& view);
// JSON (UTF-8): {"caption", "wordCount" (the list's, the longest item's), "scoreMethod" (the
// shown method's long name), "items": [{"count" (only with the frequency column shown), "score"
// (a number, or null when no score is shown or it shows as "N/A"), "position", "wordCount" (the
// item's words), "text", "words": [texts], "tags": [texts in upper case as in "text", or null,
// one per word; empty without tags]}]}.
void WriteListJson(std::ostream& out, const TCollocationList& list, const TListView& view,
                   const std::string& caption);

}  // namespace quenterra
