// The key rule as a user meets it: real key events, pastes and composed text in a field.
#include "gui/numeric_field.h"
#include "support/scripted_runtime.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class NumericFieldTest : public ::testing::Test {
  protected:
    ScriptedRuntime rt;
    NumericField field;
    int enters = 0;

    void WithEnterAction() {
        field.SetEnterAction([this] { ++enters; });
    }
};

TEST_F(NumericFieldTest, DigitsAndAcceptedPunctuationAreTypedWithoutABeep) {
    QTest::keyClicks(&field, QStringLiteral("0123456789%&'(."));
    EXPECT_EQ(field.text(), QStringLiteral("0123456789%&'(."));
    EXPECT_EQ(rt.beeps, 0);
}

TEST_F(NumericFieldTest, RefusedCharactersAreDroppedWithABeepEach) {
    QTest::keyClicks(&field, QStringLiteral("1a Z-+,£"));
    EXPECT_EQ(field.text(), QStringLiteral("1"));
    EXPECT_EQ(rt.beeps, 7);
}

TEST_F(NumericFieldTest, EnterRunsTheActionAndKeepsTheText) {
    WithEnterAction();
    QTest::keyClicks(&field, QStringLiteral("12"));
    QTest::keyClick(&field, Qt::Key_Return);
    QTest::keyClick(&field, Qt::Key_Enter); // keypad
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(rt.beeps, 0);
    EXPECT_EQ(field.text(), QStringLiteral("12"));
}

TEST_F(NumericFieldTest, EnterWithoutAnActionBeeps) {
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(rt.beeps, 1);
    EXPECT_EQ(enters, 0);
}

TEST_F(NumericFieldTest, ControlCharactersOtherThanTheEditingOnesBeep) {
    QApplication::clipboard()->setText(QStringLiteral("99"));
    QTest::keyClicks(&field, QStringLiteral("12"));
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_C, Qt::ControlModifier); // code 3
    QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier); // code 22
    QTest::keyClick(&field, Qt::Key_X, Qt::ControlModifier); // code 24
    QTest::keyClick(&field, Qt::Key_Escape);                 // code 27
    EXPECT_EQ(rt.beeps, 4);
    EXPECT_EQ(field.text(), QStringLiteral("12"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("99"));
}

TEST_F(NumericFieldTest, KeysThatTypeNoCharacterKeepEditing) {
    QTest::keyClicks(&field, QStringLiteral("1234"));
    QTest::keyClick(&field, Qt::Key_Home);
    QTest::keyClick(&field, Qt::Key_Delete);
    QTest::keyClick(&field, Qt::Key_End);
    QTest::keyClick(&field, Qt::Key_Left);
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::keyClick(&field, Qt::Key_Right);
    QTest::keyClicks(&field, QStringLiteral("9"));
    EXPECT_EQ(field.text(), QStringLiteral("249"));
    EXPECT_EQ(rt.beeps, 0);
}

// Text that does not come from typed keys reaches the field by one of these.
void ShiftInsert(NumericField& field, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(&field, Qt::Key_Insert, Qt::ShiftModifier);
}

void ContextMenuPaste(NumericField& field, const QString& text) {
    QApplication::clipboard()->setText(text);
    QContextMenuEvent click(QContextMenuEvent::Mouse, {1, 1}, field.mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(&field, &click);
    QMenu* menu = field.findChild<QMenu*>();
    for (QAction* action : menu->actions())
        if (action->text().startsWith(QLatin1String("&Paste"))) action->trigger();
    delete menu;
}

void Drop(NumericField& field, const QString& text) {
    QMimeData data;
    data.setText(text);
    // At the right edge, so that the text goes after what the field holds.
    const QPoint at(field.width() - 2, field.height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &drop);
}

// Where there is a selection to paste (X11): the middle button, at the end of the text.
void MiddleClick(NumericField& field, const QString& text) {
    QApplication::clipboard()->setText(text, QClipboard::Selection);
    QTest::mouseClick(&field, Qt::MiddleButton, {}, QPoint(field.width() - 2, field.height() / 2));
}

void Compose(NumericField& field, const QString& text) {
    QInputMethodEvent composed;
    composed.setCommitString(text);
    QApplication::sendEvent(&field, &composed);
}

TEST_F(NumericFieldTest, TextFromOtherRoutesIsTakenWholeOrRefusedWithABeep) {
    struct Insertion {
        const char* what;
        const char* before;
        const char* inserted;
        const char* after;
    };
    const Insertion insertions[] = {
        {"longer than the field", "", "1234567.89", ""},
        {"past the maximum", "1234", "56789", "1234"},
        {"a refused letter", "1", "2a", "1"},
        {"a refused space", "", "1 2", ""},
        {"a refused minus", "", "-5", ""},
        {"fitting exactly", "1234", "5678", "12345678"},
        {"fitting, with accepted punctuation", "", "7.5%", "7.5%"},
    };
    const std::pair<const char*, void (*)(NumericField&, const QString&)> routes[] = {
        {"Shift+Insert", ShiftInsert},
        {"context menu", ContextMenuPaste},
        {"drop", Drop},
        {"input method", Compose},
        {"middle click", MiddleClick}};
    const bool selection = QApplication::clipboard()->supportsSelection();
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        ASSERT_TRUE(selection);
    }
    field.setMaxLength(8);
    for (const auto& [route, insert] : routes)
        for (const Insertion& i : insertions) {
            if (insert == MiddleClick && !selection) continue; // run again in an X session
            field.setText(QLatin1String(i.before));
            rt.beeps = 0;
            insert(field, QLatin1String(i.inserted));
            const bool taken = QLatin1String(i.after) != QLatin1String(i.before);
            EXPECT_EQ(field.text(), QLatin1String(i.after)) << route << ": " << i.what;
            EXPECT_EQ(rt.beeps, taken ? 0 : 1) << route << ": " << i.what;
        }
}

} // namespace
