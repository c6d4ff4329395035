// The PIN entry window through its real widgets: layout, PIN checks, show and hide, close.
#include "gui/form1.h"
#include "gui/look.h"
#include "gui/messages.h"
#include "gui/numeric_field.h"
#include "gui/twips.h"
#include "support/controls.h"
#include "support/placement.h"
#include "support/scripted_runtime.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

class Form1Test : public ::testing::Test {
  protected:
    ScriptedRuntime rt;
    Form1 form;
    QPushButton* const Command1 = Find<QPushButton>(form, "Command1");
    QPushButton* const Command2 = Find<QPushButton>(form, "Command2");
    NumericField* const txtKey = Find<NumericField>(form, "txtKey");
    QLabel* const Label1 = Find<QLabel>(form, "Label1");

    void SetUp() override {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    QString Focused() const {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
};

TEST_F(Form1Test, ControlsSitWhereTheirTwipsPutThem) {
    ExpectPlaced(form, {
                           {"Command2", {168, 33, 22, 24}, Texts::HidePinTip},
                           {"txtKey", {111, 33, 56, 24}, Texts::PinTip},
                           {"Label1", {32, 16, 233, 20}, QString()},
                           {"Command1", {168, 32, 22, 24}, Texts::ShowPinTip},
                       });
    EXPECT_EQ(form.size(), QSize(312, 78));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.windowTitle(), Texts::PinCaption);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(192, 192, 192));
}

TEST_F(Form1Test, CaptionsAndStartState) {
    EXPECT_EQ(Label1->text(), Texts::PinLabel);
    EXPECT_TRUE(Label1->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(Command1->text().isEmpty());
    EXPECT_FALSE(Command1->icon().isNull());
    EXPECT_TRUE(Command2->text().isEmpty());
    EXPECT_TRUE(Command2->icon().isNull());
    EXPECT_TRUE(Command1->isVisible());
    EXPECT_FALSE(Command2->isVisible());
    EXPECT_TRUE(txtKey->text().isEmpty());
    EXPECT_EQ(txtKey->echoMode(), QLineEdit::Password);
    EXPECT_EQ(txtKey->maxLength(), 4);
    EXPECT_EQ(txtKey->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_FALSE(txtKey->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(Focused(), QStringLiteral("txtKey"));
}

TEST_F(Form1Test, FontsResolveToTheMetricTwinsAndCaptionsFit) {
    const QFontInfo key(txtKey->font());
    EXPECT_EQ(key.family(), QStringLiteral("Liberation Mono"));
    EXPECT_TRUE(key.bold());
    EXPECT_DOUBLE_EQ(txtKey->font().pointSizeF(), 9.75);
    const QFontInfo label(Label1->font());
    EXPECT_EQ(label.family(), QStringLiteral("Liberation Sans"));
    EXPECT_TRUE(label.bold());
    EXPECT_DOUBLE_EQ(Label1->font().pointSizeF(), 8.25);

    const QFontMetrics labelMetrics(Label1->font());
    EXPECT_LE(labelMetrics.horizontalAdvance(Label1->text()), Label1->width());
    EXPECT_LE(labelMetrics.height(), Label1->height());
    QTest::keyClicks(txtKey, QStringLiteral("8888"));
    EXPECT_LE(QFontMetrics(txtKey->font()).horizontalAdvance(QStringLiteral("8888")),
              txtKey->contentsRect().width());
}

TEST(Form1Fonts, ACaptionInAWiderStandInFontShrinksToFitItsLabel) {
    QLabel label(Texts::PinLabel);
    label.setGeometry(TwipsRect(480, 240, 3495, 300));
    label.setFont(DesignFont(QStringLiteral("DejaVu Sans"), 8.25, true));
    ASSERT_GT(label.fontMetrics().horizontalAdvance(label.text()), label.width())
        << "the stand-in must be wider than the design's font";
    FitCaption(&label);
    EXPECT_LE(label.fontMetrics().horizontalAdvance(label.text()), label.width());
    EXPECT_GE(label.font().pointSizeF(), 6);
}

TEST_F(Form1Test, TabVisitsTheVisibleControlsInOrder) {
    const auto tabs = [this](int count) {
        QStringList visited;
        for (int i = 0; i < count; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << Focused();
        }
        return visited;
    };
    EXPECT_EQ(tabs(2), QStringList({"Command1", "txtKey"}));
    QTest::mouseClick(Command1, Qt::LeftButton);
    EXPECT_EQ(tabs(2), QStringList({"Command2", "txtKey"}));
    EXPECT_EQ(rt.beeps, 0);
}

struct PinCase {
    const char* typed;
    BoxMessage box;
};

class CheckPinTest : public Form1Test, public ::testing::WithParamInterface<PinCase> {};

TEST_P(CheckPinTest, EnterReportsWhatIsWrongAndKeepsTheText) {
    // A modal box takes the focus away while it is up.
    rt.onBox = [this](const RecordedBox&) { Command1->setFocus(); };
    QTest::keyClicks(txtKey, QLatin1String(GetParam().typed));
    QTest::keyClick(txtKey, Qt::Key_Return);

    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0], GetParam().box);
    EXPECT_EQ(txtKey->text(), QLatin1String(GetParam().typed));
    EXPECT_EQ(Focused(), QStringLiteral("txtKey"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(rt.beeps, 0);
    EXPECT_EQ(rt.ends, 0);
}

INSTANTIATE_TEST_SUITE_P(Pins, CheckPinTest,
                         ::testing::Values(PinCase{"", Box::PinEmpty()},
                                           PinCase{"123", Box::PinNotFourDigits()},
                                           PinCase{"1.2%", Box::PinNotFourDigits()},
                                           PinCase{"(&'.", Box::PinNotFourDigits()}));

TEST_F(Form1Test, ShowAndHideSwapButtonsAndMaskButNeverTouchThePin) {
    QTest::keyClicks(txtKey, QStringLiteral("1234"));
    struct Step {
        QPushButton* click;
        QLineEdit::EchoMode echo;
        bool showVisible;
    };
    const Step steps[] = {{Command1, QLineEdit::Normal, false},
                          {Command2, QLineEdit::Password, true},
                          {Command1, QLineEdit::Normal, false}};
    // A click, or the keys that press a focused button.
    const std::function<void(QPushButton*)> presses[] = {
        [](QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); },
        [](QPushButton* b) { b->setFocus(), QTest::keyClick(b, Qt::Key_Space); },
        [](QPushButton* b) { b->setFocus(), QTest::keyClick(b, Qt::Key_Return); },
        [](QPushButton* b) { b->setFocus(), QTest::keyClick(b, Qt::Key_Enter); },
    };
    for (const auto& press : presses)
        for (const auto& step : steps) {
            press(step.click);
            EXPECT_EQ(txtKey->echoMode(), step.echo);
            EXPECT_EQ(Command1->isVisible(), step.showVisible);
            EXPECT_EQ(Command2->isVisible(), !step.showVisible);
            EXPECT_EQ(txtKey->text(), QStringLiteral("1234"));
            EXPECT_EQ(txtKey->displayText(),
                      step.showVisible ? QStringLiteral("****") : QStringLiteral("1234"));
            EXPECT_EQ(Focused(), QStringLiteral("txtKey"));
            EXPECT_FALSE(txtKey->hasSelectedText()); // the next key must not replace the PIN
        }
}

TEST_F(Form1Test, CloseIsReportedAndTheWindowStaysOpen) {
    QSignalSpy spy(&form, &Form1::CloseRequested);
    EXPECT_FALSE(form.close());
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(rt.ends, 0);
}

} // namespace
