// TConstrainOptionsForm, the "Constrain Options" dialog: the special characters of the search
// syntax, the splitter's character settings and three switches, bound to the rules of
// dialogs/ConstrainOptions.h.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "config/ProgramSettings.h"
#include "dialogs/ConstrainOptions.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quenterra {

class TConstrainOptionsForm : public QDialog {
  Q_OBJECT

 public:
  // Edits settings.config; corpusFileCount decides whether a change asks before the rebuild;
  // editStopList opens the stop-list viewer ("Edit List").
  TConstrainOptionsForm(TProgramSettings& settings, int corpusFileCount,
                        std::function<void()> editStopList, QWidget* parent = nullptr);

  // OK: a missing or repeated special character is reported and takes the focus; the rebuild
  // question's No keeps the dialog open; otherwise the values are stored.
  void accept() override;
  // Whether the accepted dialog changed how the corpus splits into tokens.
  bool Rebuild() const { return rebuild_; }
  // The fields as they stand.
  TConstrainOptions Options() const;

  QLineEdit* SpecialEdit(TSpecialField field) const { return special_[static_cast<size_t>(field)]; }
  QLineEdit* DelimitersEdit() const { return delimiters_; }
  QLineEdit* EqualEdit() const { return equal_; }
  QCheckBox* EqualCB() const { return equalCB_; }
  QLineEdit* SkippedEdit() const { return skipped_; }
  QCheckBox* SkippedCB() const { return skippedCB_; }
  QCheckBox* StopListCB() const { return stopListCB_; }
  QPushButton* StopListBtn() const { return stopListBtn_; }
  QCheckBox* SkipNormalTagsCB() const { return skipNormalTagsCB_; }
  QCheckBox* IgnoreCaseCB() const { return ignoreCaseCB_; }
  QPushButton* DefaultBtn() const { return defaultBtn_; }

 private:
  QWidget* BuildSpecialGroup(const char* title, size_t first, const char* const labels[3]);
  QWidget* BuildCharactersGroup();
  QWidget* BuildOtherGroup();
  void Show(const TConstrainOptions& options);

  TProgramSettings& settings_;
  int corpusFileCount_;
  std::function<void()> editStopList_;
  std::array<QLineEdit*, kSpecialFieldCount> special_{};
  QLineEdit* delimiters_ = nullptr;
  QLineEdit* equal_ = nullptr;
  QCheckBox* equalCB_ = nullptr;
  QLineEdit* skipped_ = nullptr;
  QCheckBox* skippedCB_ = nullptr;
  QCheckBox* stopListCB_ = nullptr;
  QPushButton* stopListBtn_ = nullptr;
  QCheckBox* skipNormalTagsCB_ = nullptr;
  QCheckBox* ignoreCaseCB_ = nullptr;
  QPushButton* defaultBtn_ = nullptr;
  bool rebuild_ = false;
};

// Shows the dialog; true when the accepted change needs the index rebuilt.
bool RunConstrainOptions(TProgramSettings& settings, int corpusFileCount,
                         const std::function<void()>& editStopList, QWidget* parent);

}  // namespace quenterra
