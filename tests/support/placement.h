// Where a window's controls stand, checked control by control.
#pragma once

#include "support/controls.h"

#include <QRect>
#include <QWidget>
#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>

struct Placed {
    const char* name;
    QRect pixels;
    std::optional<QString> toolTip{}; // not checked when none is given
};

inline void ExpectPlaced(const QWidget& window, std::initializer_list<Placed> controls) {
    for (const Placed& c : controls) {
        const QWidget* control = Find(window, c.name);
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(control->geometry(), c.pixels) << c.name;
        if (c.toolTip) {
            EXPECT_EQ(control->toolTip(), *c.toolTip) << c.name;
        }
    }
}
