// Where a window's controls stand, checked control by control.
#pragma once

#include <QRect>
#include <QWidget>
#include <gtest/gtest.h>
#include <initializer_list>

struct Placed {
    const char* name;
    QRect pixels;
    const char* toolTip = nullptr; // not checked when none is given
};

inline void ExpectPlaced(const QWidget& window, std::initializer_list<Placed> controls) {
    for (const Placed& c : controls) {
        const auto* control = window.findChild<QWidget*>(QLatin1String(c.name));
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(control->geometry(), c.pixels) << c.name;
        if (c.toolTip) {
            EXPECT_EQ(control->toolTip(), QLatin1String(c.toolTip)) << c.name;
        }
    }
}
