#include "gui/qt_runtime.h"

#include "core/process.h"
#include "gui/twips.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QScreen>

MsgAnswer QtRuntime::MsgBox(const QString& prompt, MsgStyle style, const QString& title) {
    QMessageBox box(QApplication::activeWindow());
    // Prompts carry outside text (a lock's host line, a folder's name): never markup.
    // A title's "[*]" would otherwise be taken for the modified mark.
    box.setWindowTitle(QString(title).replace(QLatin1String("[*]"), QLatin1String("[*][*]")));
    box.setTextFormat(Qt::PlainText);
    box.setText(prompt);
    switch (style) {
    case MsgStyle::YesNoQuestion:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        // Enter answers the first button; Esc and the close box answer No.
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MsgStyle::Information:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgStyle::Critical:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    const int answer = box.exec();
    if (answer == QMessageBox::Yes) return MsgAnswer::Yes;
    if (answer == QMessageBox::No) return MsgAnswer::No;
    return MsgAnswer::Ok;
}

void QtRuntime::Beep() {
    QApplication::beep();
}

QDateTime QtRuntime::Now() {
    return QDateTime::currentDateTime();
}

int QtRuntime::ScreenWidthTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? int(PxToTwips(screen->geometry().width())) : 0;
}

void QtRuntime::SetMousePointer(MousePointer pointer) {
    const bool wantHourglass = pointer == MousePointer::Hourglass;
    if (wantHourglass == hourglass) return;
    hourglass = wantHourglass;
    if (hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtRuntime::End() {
    EndProcess();
}
