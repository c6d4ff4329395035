// The shared look of every window: fonts named as designed, light grey, fixed border,
// centred on the screen, the pound-sign icon.
#pragma once

#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// Has screen readers hear a plain widget made a window as a window. Call once, at start.
void InstallWindowAccessibility();

// A font by its designed name ("MS Sans Serif", "Courier New") and point size; a designed
// family that is not installed is its metric-compatible stand-in.
QFont DesignFont(const QString& family, double points, bool bold);

// Shrinks a label's font until its caption fits the label, as far as it stays readable: a
// font wider than the design's must not clip it. The designed fonts and their stand-ins fit
// as laid out.
void FitCaption(QLabel* label);

// Caption, fixed client size in twips, grey background and icon; the window centres itself
// on the screen when it is first shown.
void ApplyWindowLook(QWidget* window, const QString& caption, int widthTwips, int heightTwips);

// One of the program's pictures ("quillcount", "eye") at every size it is shipped in, from
// its pixels: no image reader, so no image-format plugin, is needed.
QIcon Picture(const QString& name);

// A control under its designed name, at its designed place.
template <typename Control>
Control* Place(Control* control, const char* name, const QRect& geometry) {
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

// Grey background and dark text for a control (labels, buttons) or a window.
void PaintGrey(QWidget* control);

// Enter and Return press the button when it has the focus, as Space does.
void PressOnEnter(QPushButton* button);
