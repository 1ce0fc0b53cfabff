// The grid every list window shows its rows in: whole rows selected one at a time, nothing
// edited, one text line a row, no row numbers, columns the user may widen.
#pragma once

class QTableView;

namespace quenterra {

// Sets grid up so, under the object name "Grid" that tests look it up by.
void SetUpListGrid(QTableView& grid);

}  // namespace quenterra
