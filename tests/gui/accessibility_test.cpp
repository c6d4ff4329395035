// Every control of every window is named for assistive tools, and the whole program can be
// worked from the keyboard.
#include "gui/form1.h"
#include "gui/form2.h"
#include "gui/form3.h"
#include "support/controls.h"
#include "support/scripted_runtime.h"

#include <QAccessible>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace {
using namespace ledger_window;

// The controls of a window: its children that carry a designed name.
void ExpectEveryControlNamed(QWidget& window) {
    int controls = 0;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const QString designName = control->objectName();
        if (designName.isEmpty() || designName.startsWith(QLatin1String("qt_")) ||
            qobject_cast<QMenu*>(control))
            continue;
        ++controls;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr) << qPrintable(designName);
        EXPECT_FALSE(accessible->text(QAccessible::Name).trimmed().isEmpty())
            << qPrintable(designName) << " has no accessible name";
    }
    EXPECT_GT(controls, 3);
}

TEST(Accessibility, EveryControlHasAName) {
    ScriptedRuntime rt;
    Form1 form1;
    ExpectEveryControlNamed(form1);
    Form2 form2;
    ExpectEveryControlNamed(form2);
    Form3 form3([](const QString&) { return false; });
    ExpectEveryControlNamed(form3);
}

TEST(Accessibility, TheFileMenuAndItsCommandsHaveKeyboardAccelerators) {
    ScriptedRuntime rt;
    Form2 form2;
    EXPECT_EQ(File(form2)->menuAction()->text(), QStringLiteral("&File"));
    QStringList keys;
    for (QAction* action : {SaveUcTxt(form2), ChaPass(form2), ExitNoEc(form2)})
        keys << action->text().section(QLatin1Char('&'), 1).left(1);
    EXPECT_EQ(keys, QStringList({"S", "C", "E"})) << "each command has its own letter";
}

} // namespace
