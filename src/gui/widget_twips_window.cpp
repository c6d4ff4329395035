#include "gui/widget_twips_window.h"

#include "gui/twips.h"

#include <QWidget>
#include <algorithm>

WidgetTwipsWindow::WidgetTwipsWindow(QWidget& widget) : widget(widget) {
    widget.setMinimumSize(0, 0);
    widget.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

float WidgetTwipsWindow::Top() const {
    return PxToTwips(widget.frameGeometry().top());
}
float WidgetTwipsWindow::Left() const {
    return PxToTwips(widget.frameGeometry().left());
}
float WidgetTwipsWindow::Width() const {
    return PxToTwips(widget.frameGeometry().width());
}
float WidgetTwipsWindow::Height() const {
    return PxToTwips(widget.frameGeometry().height());
}

void WidgetTwipsWindow::SetTop(float twips) {
    widget.move(widget.x(), TwipsToPx(twips));
}
void WidgetTwipsWindow::SetLeft(float twips) {
    widget.move(TwipsToPx(twips), widget.y());
}

void WidgetTwipsWindow::SetWidth(float twips) {
    if (!(twips >= 0)) return;
    const int frame = widget.frameGeometry().width() - widget.width();
    widget.resize(std::max(TwipsToPx(twips) - frame, 0), widget.height());
}

void WidgetTwipsWindow::SetHeight(float twips) {
    if (!(twips >= 0)) return;
    const int frame = widget.frameGeometry().height() - widget.height();
    widget.resize(widget.width(), std::max(TwipsToPx(twips) - frame, 0));
}
