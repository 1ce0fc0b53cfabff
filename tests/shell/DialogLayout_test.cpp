// Every settings and extraction dialog as it opens: each caption, box and field gets at least the
// room its text needs, and lies inside its window. `make test` runs this at 100 % and at 200 %
// (QT_SCALE_FACTOR=2). With QUENTERRA_SHOTS naming a folder, each dialog is also saved there as
// <name>.png, for scripts/dialog-shots.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "corpus/ui/LangConfig.h"
#include "engine/ui/CollocateOptionsForm.h"
#include "engine/ui/CountOptionsForm.h"
#include "engine/ui/FEOptForm.h"
#include "engine/ui/StopView.h"
#include "patterns/ui/ConstrainOptionsForm.h"
#include "patterns/ui/EditMetaTags.h"
#include "patterns/ui/ExtractDialog.h"
#include "patterns/ui/TagCfgForm.h"
#include "patterns/ui/WordTagsCfg.h"
#include "shell/MessageForm.h"
#include "support/SettingsTest.h"
#include "support/ui/GuiTestKit.h"

namespace quenterra {
namespace {

// The widgets whose text is cut off when they are narrower or lower than they ask for.
// The edit inside a spin or combo box is measured as that box.
bool HoldsText(const QWidget* widget) {
  if (qobject_cast<const QLineEdit*>(widget)) {
    const QWidget* box = widget->parentWidget();
    return !qobject_cast<const QAbstractSpinBox*>(box) && !qobject_cast<const QComboBox*>(box);
  }
  return qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
         qobject_cast<const QGroupBox*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget) ||
         qobject_cast<const QComboBox*>(widget);
}

// The room a widget's text needs: a label its full size (a wrapping one its height at its
// width), the others their minimum.
QSize Needed(const QWidget* widget) {
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    if (label->wordWrap()) return {0, label->heightForWidth(label->width())};
    return label->sizeHint();
  }
  return widget->minimumSizeHint();
}

void ExpectNothingClipped(QWidget* window, const char* name) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << name;
  const QRect inside = window->rect();
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    if (!widget->isVisible() || !HoldsText(widget)) continue;
    const QString what =
        QString("%1: %2 \"%3\"")
            .arg(name, widget->metaObject()->className(), widget->property("text").toString());
    const QSize needed = Needed(widget);
    EXPECT_GE(widget->width(), needed.width()) << what.toStdString();
    EXPECT_GE(widget->height(), needed.height()) << what.toStdString();
    const QRect at(widget->mapTo(window, QPoint(0, 0)), widget->size());
    EXPECT_TRUE(inside.contains(at)) << what.toStdString();
  }
  if (const QByteArray folder = qgetenv("QUENTERRA_SHOTS"); !folder.isEmpty())
    window->grab().save(QString("%1/%2.png").arg(QString(folder), name));
}

class DialogLayoutTest : public test::TSettingsTest {
 protected:
  void SetUp() override {
    test::TSettingsTest::SetUp();
    settings_.config.WordTag = 1;
    settings_.config.MetaTags = {{"noun", {"nn", "nns", "np"}}, {"verb", {"vb", "vbz"}}};
    settings_.history.WordPhrase = {"white house", "post office"};
    settings_.history.Batch = {"computer&nn", "run%&vbn + *&nn1"};
    settings_.stopList.SetWords({"the", "of", "and", "a", "in"});
  }
  template <typename T, typename... Args>
  void Check(const char* name, Args&&... args) {
    T dialog(std::forward<Args>(args)...);
    ExpectNothingClipped(&dialog, name);
  }
};

TEST_F(DialogLayoutTest, EveryDialogGivesItsTextsTheRoomTheyNeed) {
  TProgramSettings& s = settings_;
  Check<TCountOptionsForm>("count", s.config);
  Check<TCollocateOptionsForm>("collocates", s.config, TCollocateOptions{});
  Check<TFEOptForm>("fullextract", false, s.fullExtract, s.config);
  Check<TFEOptForm>("ngram", true, s.fullExtract, s.config);
  Check<TViewStopListDlg>("stoplist", s);
  Check<TLangConfig>("language", s.global, [](QWidget*, TFontChoice&) { return false; });
  Check<TConstrainOptionsForm>("constrain", s, 2, [] {});
  Check<TTagCgfForm>("normaltags", s, 2);
  Check<TWordTagsCfgDialog>("wordtags", s, 2);
  Check<TEditMetaTagsDlg>("metatag", std::vector<TMetaTagRow>{}, 0,
                          TMetaTagRow{"noun", "nn, nns, np"}, s.tables);
  Check<TExtractDialog>("extract", s, false, TSearchKind::kWordPhrase, [] {});
  Check<TExtractDialog>("extractbatch", s, true, TSearchKind::kWordTag, [] {});
  test::WhenShown("TMessageForm", [](QWidget* box) {
    ExpectNothingClipped(box, "warning");
    QTest::keyClick(box, Qt::Key_Escape);
  });
  TGuiMessages().Stop("Warning", "Max. Span must be greather than Min. Span.");
}

}  // namespace
}  // namespace quenterra
