// The key rule as a user meets it: real key events, pastes and composed text in a field.
#include "gui/numeric_field.h"
#include "support/scripted_runtime.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
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

TEST_F(NumericFieldTest, TextFromOtherRoutesMustPassTheSameRule) {
    struct Route {
        const char* text;
        const char* expected;
    };
    const Route pastes[] = {{"12a", ""}, {"1 2", ""}, {"-5", ""}, {"56", "56"}, {"7.5%", "7.5%"}};
    for (const auto& p : pastes) {
        field.clear();
        QApplication::clipboard()->setText(QString::fromUtf8(p.text));
        field.paste();
        EXPECT_EQ(field.text(), QString::fromUtf8(p.expected)) << p.text;
    }

    field.clear();
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("4x"));
    QApplication::sendEvent(&field, &composed);
    EXPECT_EQ(field.text(), QString());
}

TEST_F(NumericFieldTest, MaximumLengthHoldsForTypingAndPasting) {
    field.setMaxLength(4);
    QTest::keyClicks(&field, QStringLiteral("12345"));
    EXPECT_EQ(field.text(), QStringLiteral("1234"));
    QApplication::clipboard()->setText(QStringLiteral("99"));
    field.paste();
    EXPECT_EQ(field.text(), QStringLiteral("1234"));
}

} // namespace
