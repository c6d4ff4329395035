// The yardstick for start-up time: a bare Qt Widgets window of the PIN window's size with the
// same kinds of controls (a label, a focused password field, two push buttons), in the two
// fonts the windows are laid out in, with a window icon at three sizes and a picture on the
// button. The pictures are drawn in memory: the least a window with icons can cost.
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

namespace {
QIcon Picture(std::initializer_list<int> sizes) {
    QIcon icon;
    for (const int size : sizes) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(0, 100, 0));
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QFont Font(const char* family, double points) {
    QFont font{QString::fromLatin1(family)};
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Yardstick"));
    window.setWindowIcon(Picture({16, 32, 64}));
    window.setFixedSize(312, 78);
    QLabel label(QStringLiteral("Enter Your 4 Digit Pin And Press Return"), &window);
    label.setFont(Font("Liberation Sans", 8.25));
    label.setGeometry(32, 16, 233, 20);
    QLineEdit field(&window);
    field.setFont(Font("Liberation Mono", 9.75));
    field.setEchoMode(QLineEdit::Password);
    field.setGeometry(111, 33, 56, 24);
    QPushButton show(&window), hide(&window);
    show.setIcon(Picture({16, 32}));
    show.setGeometry(168, 32, 22, 24);
    hide.setGeometry(168, 33, 22, 24);
    hide.hide();
    field.setFocus();
    window.show();
    return app.exec();
}
