// The buttons row that closes every option dialog.
#pragma once

#include <QDialogButtonBox>

class QDialog;

namespace quenterra {

inline constexpr char kOkButtonName[] = "OKBtn";  // the OK button's object name

// "OK" (the default button) and "Cancel" in a row of `dialog`, wired to its accept and reject
// (an overriding accept included).
QDialogButtonBox* OkCancelButtons(QDialog* dialog);

}  // namespace quenterra
