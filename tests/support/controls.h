// Controls and windows found as a user or an assistive tool finds them: by their designed
// names, and by what is on the screen. Tests never reach into a window's members.
#pragma once

#include "gui/numeric_field.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLatin1String>
#include <QMenu>
#include <QObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

template <typename Control = QWidget> Control* Find(const QObject& window, const char* name) {
    return window.findChild<Control*>(QLatin1String(name));
}

// The top-level window of type Window, shown or (with shownOnly false) not; none when there
// is none.
template <typename Window> Window* FindWindow(bool shownOnly = true) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(widget);
            window && (window->isVisible() || !shownOnly))
            return window;
    return nullptr;
}

// The ledger window's controls by their designed names.
namespace ledger_window {
inline NumericField* Text1(const QWidget& w) {
    return Find<NumericField>(w, "Text1");
}
inline QLineEdit* txtKey(const QWidget& w) {
    return Find<QLineEdit>(w, "txtKey");
}
inline QPlainTextEdit* txtData(const QWidget& w) {
    return Find<QPlainTextEdit>(w, "txtData");
}
inline QPushButton* Plus(const QWidget& w) {
    return Find<QPushButton>(w, "Plus");
}
inline QPushButton* Minus(const QWidget& w) {
    return Find<QPushButton>(w, "Minus");
}
inline QLabel* Label1(const QWidget& w) {
    return Find<QLabel>(w, "Label1");
}
inline QMenu* File(const QWidget& w) {
    return Find<QMenu>(w, "File");
}
inline QAction* SaveUcTxt(const QWidget& w) {
    return Find<QAction>(w, "SaveUcTxt");
}
inline QAction* ChaPass(const QWidget& w) {
    return Find<QAction>(w, "ChaPass");
}
inline QAction* ExitNoEc(const QWidget& w) {
    return Find<QAction>(w, "ExitNoEc");
}
} // namespace ledger_window
