#include "widget_twips_window.h"

#include "twips.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {
int Px(float twips) {
    return int(std::lround(twips / TwipsPerPixel));
}
float Twips(int px) {
    return float(px * TwipsPerPixel);
}
} // namespace

WidgetTwipsWindow::WidgetTwipsWindow(QWidget& widget) : widget(widget) {
    widget.setMinimumSize(0, 0);
    widget.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

float WidgetTwipsWindow::Top() const {
    return Twips(widget.frameGeometry().top());
}
float WidgetTwipsWindow::Left() const {
    return Twips(widget.frameGeometry().left());
}
float WidgetTwipsWindow::Width() const {
    return Twips(widget.frameGeometry().width());
}
float WidgetTwipsWindow::Height() const {
    return Twips(widget.frameGeometry().height());
}

void WidgetTwipsWindow::SetTop(float twips) {
    widget.move(widget.x(), Px(twips));
}
void WidgetTwipsWindow::SetLeft(float twips) {
    widget.move(Px(twips), widget.y());
}

void WidgetTwipsWindow::SetWidth(float twips) {
    if (!(twips >= 0)) return;
    const int frame = widget.frameGeometry().width() - widget.width();
    widget.resize(std::max(Px(twips) - frame, 0), widget.height());
}

void WidgetTwipsWindow::SetHeight(float twips) {
    if (!(twips >= 0)) return;
    const int frame = widget.frameGeometry().height() - widget.height();
    widget.resize(widget.width(), std::max(Px(twips) - frame, 0));
}
