#include "engine/ResultTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "support/EngineTestKit.h"

namespace quenterra {
namespace {

// Two rows: a word with a quote and a character of two bytes, and an undefined score.
class TFixedTable : public TResultTable {
 public:
  using TResultTable::TResultTable;
  std::string Caption() const override { return "c\"s"; }
  std::string Title() const override { return "Fixed ( 2 rows )"; }
  std::vector<TTableFact> Facts() const override { return {{"Size", "size", "2", true}}; }
  std::vector<TTableColumn> Columns() const override {
    return {{"Word", "word"},
            {"N", "n", TCellKind::kInteger, 0, true, true},
            {"Score", "score", TCellKind::kReal, 2, true}};
  }
  int RowCount() const override { return 2; }
  std::string Text(int row, int) const override { return row == 0 ? "\"é\"" : "ab"; }
  double Number(int row, int column) const override {
    if (column == 1) return 7;
    return row == 0 ? -0.001 : std::numeric_limits<double>::quiet_NaN();
  }
  std::vector<std::string> SortNames() const override { return {}; }
  void SortBy(int) override {}
};

using ResultTableTest = test::TEngineTest;

TEST_F(ResultTableTest, TheThreeFormsOfOneTable) {
  test::TNumberFormatScope format({'.', ','});
  const TFixedTable table(settings_.tables);
  std::ostringstream text, tsv, json;
  WriteTableText(text, table);
  WriteTableTsv(tsv, table);
  WriteTableJson(json, table, 1);
  // Columns padded by characters, not bytes; machine-only columns left out; no "-0,00".
  EXPECT_EQ(text.str(),
            "Fixed ( 2 rows )\r\n\r\nSize: 2\r\n\r\nWord  Score\r\n___________\r\n\r\n"
            "\"é\"    0,00\r\nab      N/A\r\n");
  EXPECT_EQ(tsv.str(), "word\tn\tscore\n\"é\"\t7\t-0.001\nab\t7\t\n");
  EXPECT_EQ(json.str(),
            "{\"caption\":\"c\\\"s\",\"facts\":{\"size\":2},\"items\":[\n"
            "{\"word\":\"\\\"é\\\"\",\"n\":7,\"score\":-0.001}\n]}\n");
  EXPECT_EQ(ShownColumns(table), (std::vector<int>{0, 2}));
}

}  // namespace
}  // namespace quenterra
