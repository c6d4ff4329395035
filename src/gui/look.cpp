#include "gui/look.h"

#include "gui/twips.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <utility>

namespace {
const QColor Grey(192, 192, 192);
// Below this a caption is no longer read with ease; it is left to clip instead.
constexpr double SmallestCaptionPoints = 6;

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    frame.moveCenter(available.center());
    // On a screen smaller than the window, the title bar, menu and close box stay on it.
    window->move(qMax(frame.left(), available.left()), qMax(frame.top(), available.top()));
}

// A plain widget made a window (the PIN and Change PIN windows) is otherwise heard by
// screen readers as a filler, not as a window with its caption.
QAccessibleInterface* PlainWindowAccessible(const QString& className, QObject* object) {
    auto* window = qobject_cast<QWidget*>(object);
    if (!window || window->windowType() != Qt::Window ||
        className != QLatin1String(object->metaObject()->className()) ||
        object->metaObject()->superClass() != &QWidget::staticMetaObject)
        return nullptr;
    return new QAccessibleWidget(window, QAccessible::Window);
}

// The designed fonts are Windows' own. Elsewhere the default stand-in is far wider, so
// captions would clip and ledger lines wrap: these are metric-compatible.
constexpr std::pair<const char*, const char*> StandIns[] = {
    {"MS Sans Serif", "Liberation Sans"},
    {"Courier New", "Liberation Mono"},
};

bool Installed(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// The designed family where it is installed, else its stand-in where that is. A family asked
// for by name and missing is first looked for among all the system's fonts, which would cost
// the start-up more than loading the two fonts it uses.
QString ShownFamily(const QString& family) {
    if (Installed(family)) return family;
    for (const auto& [designed, standIn] : StandIns)
        if (family == QLatin1String(designed) && Installed(QLatin1String(standIn)))
            return QLatin1String(standIn);
    return family;
}

// The windows are laid out for these fonts: every caption fits in them as designed.
bool LaidOutFor(const QString& family) {
    for (const auto& [designed, standIn] : StandIns)
        if (family == QLatin1String(designed) || family == QLatin1String(standIn))
            return Installed(family);
    return false;
}

// Centres a window the first time it shows, once its frame is known.
class CentreOnFirstShow : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            CentreOnScreen(static_cast<QWidget*>(watched));
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};
} // namespace

void InstallWindowAccessibility() {
    QAccessible::installFactory(PlainWindowAccessible);
}

QFont DesignFont(const QString& family, double points, bool bold) {
    QFont font(ShownFamily(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyleHint(family.contains(QLatin1String("Courier")) ? QFont::TypeWriter
                                                                : QFont::SansSerif);
    return font;
}

void FitCaption(QLabel* label) {
    QFont font = label->font();
    // A caption fits these as laid out; measuring would load the font before the window shows.
    if (LaidOutFor(font.family())) return;
    const QSize room = label->contentsRect().size();
    const auto fits = [&] {
        const QFontMetrics metrics(font);
        return metrics.horizontalAdvance(label->text()) <= room.width() &&
               metrics.height() <= room.height();
    };
    while (!fits() && font.pointSizeF() - 0.25 >= SmallestCaptionPoints)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    label->setFont(font);
}

QIcon Picture(const QString& name) {
    QIcon icon;
    for (const int size : {16, 32, 64}) {
        QFile file(QStringLiteral(":/icons/%1-%2.rgba").arg(name).arg(size));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QByteArray pixels = file.readAll();
        if (pixels.size() != size * size * 4) continue;
        const QImage image(reinterpret_cast<const uchar*>(pixels.constData()), size, size, size * 4,
                           QImage::Format_RGBA8888_Premultiplied);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

void PaintGrey(QWidget* control) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, Grey);
    palette.setColor(QPalette::Button, Grey);
    // A dark desktop theme's light text would be unreadable on the grey.
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

void ApplyWindowLook(QWidget* window, const QString& caption, int widthTwips, int heightTwips) {
    window->setWindowTitle(caption);
    window->setWindowIcon(Picture(QStringLiteral("quillcount")));
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    PaintGrey(window);
    window->setFixedSize(TwipsToPx(widthTwips), TwipsToPx(heightTwips));
    window->installEventFilter(new CentreOnFirstShow(window));
}

void PressOnEnter(QPushButton* button) {
    // Outside dialogs Qt leaves a focused button deaf to Enter unless it is auto-default.
    button->setAutoDefault(true);
}
