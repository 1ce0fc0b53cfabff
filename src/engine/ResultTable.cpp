#include "engine/ResultTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "platform/AtomicFile.h"
#include "platform/NumberFormat.h"

namespace quenterra {

namespace {

constexpr const char* kCrLf = "\r\n";

std::string FormatNumber(double value, const TTableColumn& format, char decimalSeparator) {
  if (std::isnan(value)) return "N/A";
  char text[400];  // room for the widest finite double in fixed notation
  const int decimals = format.kind == TCellKind::kReal ? format.decimals : 0;
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string shown = text;
  if (shown[0] == '-' && shown.find_first_not_of("-0.") == std::string::npos) shown.erase(0, 1);
  const size_t point = shown.find('.');
  if (point != std::string::npos) shown[point] = decimalSeparator;
  return shown;
}

size_t Width(const std::string& utf8) {
  return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string Padded(const std::string& text, size_t width, bool right) {
  const std::string pad(width - std::min(width, Width(text)), ' ');
  return right ? pad + text : text + pad;
}

int RowsShown(const TResultTable& table, int limit) {
  return limit < 0 ? table.RowCount() : std::min(limit, table.RowCount());
}

// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& utf8) {
  std::string quoted = "\"";
  for (char c : utf8) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

// A cell in a program's form: UTF-8 text, or a number with '.' (empty when undefined).
std::string MachineCell(const TResultTable& table, int row, int column,
                        const TTableColumn& format) {
  if (format.kind == TCellKind::kText) return table.Tables().ToUtf8(table.Text(row, column));
  const double value = table.Number(row, column);
  if (std::isnan(value)) return "";
  char text[64];
  if (format.kind == TCellKind::kInteger) {
    std::snprintf(text, sizeof text, "%.0f", value);
  } else {
    std::snprintf(text, sizeof text, "%.*g", 15, value);
  }
  return text;
}

std::string JsonValue(const TResultTable& table, int row, int column, const TTableColumn& format) {
  const std::string cell = MachineCell(table, row, column, format);
  if (format.kind == TCellKind::kText) return JsonString(cell);
  return cell.empty() ? "null" : cell;
}

}  // namespace

std::string CellText(const TResultTable& table, int row, int column, const TTableColumn& format,
                     char decimalSeparator) {
  if (format.kind == TCellKind::kText) return table.Text(row, column);
  return FormatNumber(table.Number(row, column), format, decimalSeparator);
}

std::vector<int> ShownColumns(const TResultTable& table) {
  std::vector<int> shown;
  const std::vector<TTableColumn> columns = table.Columns();
  for (size_t c = 0; c < columns.size(); ++c) {
    if (!columns[c].machineOnly) shown.push_back(static_cast<int>(c));
  }
  return shown;
}

std::vector<std::vector<std::string>> ShownCells(const TResultTable& table, char decimalSeparator,
                                                 int limit) {
  const std::vector<TTableColumn> columns = table.Columns();
  const std::vector<int> shown = ShownColumns(table);
  std::vector<std::vector<std::string>> cells(static_cast<size_t>(RowsShown(table, limit)));
  for (size_t r = 0; r < cells.size(); ++r) {
    for (int c : shown) {
      cells[r].push_back(CellText(table, static_cast<int>(r), c, columns[static_cast<size_t>(c)],
                                  decimalSeparator));
    }
  }
  return cells;
}

void WriteTableText(std::ostream& out, const TResultTable& table, int limit) {
  const std::vector<TTableColumn> all = table.Columns();
  std::vector<TTableColumn> columns;
  for (int c : ShownColumns(table)) columns.push_back(all[static_cast<size_t>(c)]);
  std::vector<std::vector<std::string>> cells =
      ShownCells(table, NumberFormat().decimalSeparator, limit);
  std::vector<size_t> widths;
  for (const TTableColumn& column : columns) widths.push_back(Width(column.title));
  for (std::vector<std::string>& row : cells) {
    for (size_t c = 0; c < columns.size(); ++c) {
      if (columns[c].kind == TCellKind::kText) row[c] = table.Tables().ToUtf8(row[c]);
      widths[c] = std::max(widths[c], Width(row[c]));
    }
  }
  auto line = [&](const std::vector<std::string>& texts) {
    std::string joined;
    for (size_t c = 0; c < texts.size(); ++c) {
      const bool right = columns[c].alignRight || columns[c].kind != TCellKind::kText;
      const bool last = c + 1 == texts.size();
      joined += last && !right ? texts[c] : Padded(texts[c], widths[c], right);
      if (!last) joined += "  ";
    }
    return joined;
  };
  out << table.Tables().ToUtf8(table.Title()) << kCrLf << kCrLf;
  for (const TTableFact& fact : table.Facts()) {
    out << fact.title << ": " << table.Tables().ToUtf8(fact.value) << kCrLf;
  }
  if (!table.Facts().empty()) out << kCrLf;
  std::vector<std::string> titles;
  for (const TTableColumn& column : columns) titles.push_back(column.title);
  const std::string titleLine = line(titles);
  out << titleLine << kCrLf << std::string(Width(titleLine), '_') << kCrLf << kCrLf;
  for (const std::vector<std::string>& row : cells) out << line(row) << kCrLf;
}

void WriteTableTsv(std::ostream& out, const TResultTable& table, int limit) {
  const std::vector<TTableColumn> columns = table.Columns();
  for (size_t c = 0; c < columns.size(); ++c) out << (c > 0 ? "\t" : "") << columns[c].key;
  out << '\n';
  for (int r = 0; r < RowsShown(table, limit); ++r) {
    for (size_t c = 0; c < columns.size(); ++c) {
      out << (c > 0 ? "\t" : "") << MachineCell(table, r, static_cast<int>(c), columns[c]);
    }
    out << '\n';
  }
}

void WriteTableJson(std::ostream& out, const TResultTable& table, int limit) {
  const std::vector<TTableColumn> columns = table.Columns();
  const TLangTables& tables = table.Tables();
  out << "{\"caption\":" << JsonString(tables.ToUtf8(table.Caption())) << ",\"facts\":{";
  const std::vector<TTableFact> facts = table.Facts();
  for (size_t f = 0; f < facts.size(); ++f) {
    out << (f > 0 ? "," : "") << JsonString(facts[f].key) << ':'
        << (facts[f].number ? facts[f].value : JsonString(tables.ToUtf8(facts[f].value)));
  }
  out << "},\"items\":[";
  for (int r = 0; r < RowsShown(table, limit); ++r) {
    out << (r > 0 ? ",\n{" : "\n{");
    for (size_t c = 0; c < columns.size(); ++c) {
      out << (c > 0 ? "," : "") << JsonString(columns[c].key) << ':'
          << JsonValue(table, r, static_cast<int>(c), columns[c]);
    }
    out << '}';
  }
  out << "\n]}\n";
}

void SaveTableToFile(const std::string& fileName, const TResultTable& table) {
  std::ostringstream text;
  WriteTableText(text, table);
  ReplaceFile(fileName, text.view());
}

}  // namespace quenterra
