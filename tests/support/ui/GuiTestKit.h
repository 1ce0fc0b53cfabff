// Shared by the GUI tests, which drive real widgets on Qt's offscreen platform: a way to act on a
// modal window once it shows, while the test waits in its modal loop, and the user's clicks and
// keys.
#pragma once

#include <QAbstractButton>
#include <QString>
#include <QWidget>
#include <functional>
#include <ostream>

// Test failures show a QString as its text.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace quenterra::test {

// Runs `act` on the first visible top-level widget that `match` accepts, as soon as it shows
// (polling every few milliseconds while the test waits in a modal loop). Gives up after 20 s.
void WhenShown(const std::function<bool(QWidget*)>& match, std::function<void(QWidget*)> act);
// The same for a widget of the given object name.
void WhenShown(const char* objectName, std::function<void(QWidget*)> act);
// The same for a widget of class T, handed over as a T.
template <typename T>
void WhenShown(std::function<void(T*)> act) {
  WhenShown([](QWidget* widget) { return qobject_cast<T*>(widget) != nullptr; },
            [act](QWidget* widget) { act(qobject_cast<T*>(widget)); });
}

// The button of `parent` with this caption (access-key ampersand included), or null.
QAbstractButton* ButtonOf(QWidget* parent, const QString& caption);
// Clicks it, as the user would; fails the test when there is none.
void Click(QWidget* parent, const QString& caption);
// Replaces the text of a line edit (or of the edit of a spin or combo box) by typing `text`, so
// that the field's mask sees every character.
void TypeInto(QWidget* field, const QString& text);
// Types `text` into the widget with the focus's key events, any character included.
void Type(QWidget* widget, const QString& text);

}  // namespace quenterra::test
