#include "support/ui/GuiTestKit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <memory>

namespace quenterra::test {

void WhenShown(const std::function<bool(QWidget*)>& match, std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(QApplication::instance());
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, match, act, clock] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->isVisible() && match(widget)) {
        timer->deleteLater();
        timer->stop();
        act(widget);
        return;
      }
    }
    if (clock->elapsed() > 20000) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start(2);
}

void WhenShown(const char* objectName, std::function<void(QWidget*)> act) {
  const QString name = objectName;
  WhenShown([name](QWidget* widget) { return widget->objectName() == name; }, std::move(act));
}

QAbstractButton* ButtonOf(QWidget* parent, const QString& caption) {
  for (QAbstractButton* button : parent->findChildren<QAbstractButton*>())
    if (button->text() == caption) return button;
  return nullptr;
}

void Click(QWidget* parent, const QString& caption) {
  QAbstractButton* button = ButtonOf(parent, caption);
  ASSERT_NE(button, nullptr) << caption.toStdString();
  // As a click on its caption: a disabled button does nothing, a radio button is checked.
  button->click();
}

void TypeInto(QWidget* field, const QString& text) {
  auto* edit = qobject_cast<QLineEdit*>(field);
  if (edit == nullptr) edit = field->findChild<QLineEdit*>();
  ASSERT_NE(edit, nullptr);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  Type(edit, text);
}

void Type(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    if (c == '\n') {
      QTest::keyClick(widget, Qt::Key_Return);
    } else if (c.unicode() < 0x80) {
      QTest::keyClick(widget, c.toLatin1());
    } else {
      // QTest types ASCII only: any other character as an input method's key event.
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(widget, &press);
    }
  }
}

}  // namespace quenterra::test
