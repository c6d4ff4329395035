// The yardstick for start-up time: a bare Qt Widgets window of the PIN window's size with
// the same kinds of controls (a label, a focused password field, two push buttons).
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Yardstick"));
    window.setFixedSize(312, 78);
    QLabel label(QStringLiteral("Enter Your 4 Digit Pin And Press Return"), &window);
    label.setGeometry(32, 16, 233, 20);
    QLineEdit field(&window);
    field.setEchoMode(QLineEdit::Password);
    field.setGeometry(111, 33, 56, 24);
    QPushButton show(&window), hide(&window);
    show.setGeometry(168, 32, 22, 24);
    hide.setGeometry(168, 33, 22, 24);
    hide.hide();
    field.setFocus();
    window.show();
    return app.exec();
}
