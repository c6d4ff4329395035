#include "expected_lines.h"
#include "form2.h"
#include "key_filter.h"
#include "look.h"
#include "scripted_runtime.h"
#include "twips.h"

#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {
const QString OneBooking =
    Expected("05/12/2026", 85, "#12.50") + Expected("05/12/2026", 50, "+#12.50");

// The window shown and active, as the user meets it.
class Form2Test : public ::testing::Test {
  protected:
    void SetUp() override {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    void Type(const QString& amount) {
        form.Text1->clear();
        QTest::keyClicks(form.Text1, amount);
    }

    // The ledger field shows the ledger text line for line.
    void ExpectViewMatchesText() {
        QString shown = form.LedgerText();
        shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        EXPECT_EQ(form.txtData->toPlainText(), shown);
        EXPECT_TRUE(form.Text2->toPlainText().isEmpty());
    }

    ScriptedRuntime runtime;
    Form2 form;
};

TEST_F(Form2Test, ZeroAmountsBeepAndBookNothing) {
    form.SetLedgerText(OneBooking);
    for (const char* amount : {"", "0", "000", "0.00", "0.004", ".", "(5", "'5"}) {
        for (QPushButton* button : {form.Plus, form.Minus}) {
            Type(QLatin1String(amount));
            ASSERT_EQ(form.Text1->text(), QLatin1String(amount)) << "typed through the filter";
            const int beeps = runtime.beeps;
            QTest::mouseClick(button, Qt::LeftButton);
            EXPECT_EQ(runtime.beeps, beeps + 1) << amount;
            EXPECT_TRUE(form.Text1->text().isEmpty()) << amount;
            EXPECT_TRUE(form.Text1->hasFocus()) << amount;
            EXPECT_EQ(form.LedgerText(), OneBooking) << amount;
        }
    }
    ExpectViewMatchesText();
    EXPECT_TRUE(runtime.boxes.empty());
}

TEST_F(Form2Test, BookingsGoOnTopOfTheLedgerField) {
    form.SetLedgerText(OneBooking);
    Type(QStringLiteral("10"));
    QTest::mouseClick(form.Plus, Qt::LeftButton);
    QTest::mouseClick(form.Plus, Qt::LeftButton);
    EXPECT_EQ(form.Text1->text(), QLatin1String("10"));
    Type(QStringLiteral("0.005"));
    QTest::mouseClick(form.Minus, Qt::LeftButton);
    EXPECT_EQ(form.LedgerText(),
              Expected("06/12/2026", 85, "#32.49") + Expected("06/12/2026", 20, "-#0.01") +
                  Expected("06/12/2026", 85, "#32.50") + Expected("06/12/2026", 50, "+#10.00") +
                  Expected("06/12/2026", 85, "#22.50") + Expected("06/12/2026", 50, "+#10.00") +
                  OneBooking);
    ExpectViewMatchesText();
    EXPECT_EQ(form.txtData->textCursor().position(), 0) << "the newest lines in view";
    EXPECT_EQ(runtime.beeps, 0);
}

TEST_F(Form2Test, SpaceReturnAndEnterPressAFocusedBookingButton) {
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        for (QPushButton* button : {form.Plus, form.Minus}) {
            const qsizetype before = form.LedgerText().size();
            Type(QStringLiteral("1"));
            button->setFocus();
            QTest::keyClick(button, key);
            EXPECT_GT(form.LedgerText().size(), before) << button->objectName().toStdString();
        }
    }
}

TEST_F(Form2Test, TheAmountFieldTakesEightCharactersAndNoEnter) {
    QTest::keyClicks(form.Text1, QStringLiteral("123456789"));
    EXPECT_EQ(form.Text1->text(), QLatin1String("12345678"));
    QTest::keyClick(form.Text1, Qt::Key_Return);
    EXPECT_EQ(runtime.beeps, 1);
    EXPECT_TRUE(form.LedgerText().isEmpty());
    ExpectViewMatchesText();
}

TEST_F(Form2Test, TheBookingThatWouldOverfillTheLedgerIsRefused) {
    // A first credit of 1 writes 170 characters.
    const QString fits(MaxLedgerLength - 170, QLatin1Char(' '));
    form.SetLedgerText(fits);
    Type(QStringLiteral("1"));
    QTest::mouseClick(form.Plus, Qt::LeftButton);
    EXPECT_EQ(form.LedgerText().size(), MaxLedgerLength);
    EXPECT_TRUE(runtime.boxes.empty());

    const QString full = form.LedgerText();
    QTest::mouseClick(form.Plus, Qt::LeftButton);
    ASSERT_EQ(runtime.boxes.size(), 1u);
    EXPECT_EQ(runtime.boxes[0].prompt, QLatin1String(" To Much TeX To Encode "));
    EXPECT_EQ(runtime.boxes[0].style, MsgStyle::Information);
    EXPECT_EQ(runtime.boxes[0].title, QLatin1String(" Error "));
    EXPECT_EQ(form.LedgerText(), full);
    ExpectViewMatchesText();
}

TEST_F(Form2Test, AMoneyOverflowIsToldAndChangesNothing) {
    const QString huge =
        Expected("06/12/2026", 85, "#922337203685477.00") + Expected("06/12/2026", 50, "+#1.00");
    form.SetLedgerText(huge);
    Type(QStringLiteral("99999999"));
    QTest::mouseClick(form.Plus, Qt::LeftButton);
    ASSERT_EQ(runtime.boxes.size(), 1u);
    EXPECT_EQ(runtime.boxes[0].style, MsgStyle::Critical);
    EXPECT_EQ(runtime.boxes[0].title, QLatin1String(" Error "));
    EXPECT_EQ(form.LedgerText(), huge);
    ExpectViewMatchesText();
}

TEST_F(Form2Test, TheLongestBalanceLineFitsWithoutWrapping) {
    form.SetLedgerText(Expected("06/12/2026", 85, "#-18999999981.00") +
                       Expected("06/12/2026", 20, "-#99999999.00"));
    QCoreApplication::processEvents();
    const QTextBlock first = form.txtData->document()->firstBlock();
    ASSERT_NE(first.layout(), nullptr);
    EXPECT_EQ(first.layout()->lineCount(), 1);
}

TEST_F(Form2Test, CloseAsksTheCloseSequenceAndStaysOpen) {
    QSignalSpy spy(&form, &Form2::closeRequested);
    EXPECT_FALSE(form.close());
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(Form2Test, FirstFocusAndTabOrder) {
    EXPECT_TRUE(form.Text1->hasFocus());
    QStringList order;
    QWidget* widget = form.Text1;
    do {
        order << widget->objectName();
        QTest::keyClick(widget, Qt::Key_Tab);
        widget = QApplication::focusWidget();
    } while (widget != form.Text1 && order.size() < 10);
    EXPECT_EQ(order, QStringList({"Text1", "txtData", "Minus", "Plus"}));
}

struct Placed {
    const char* name;
    QRect twips;
};

TEST(Form2Layout, ControlsStandWhereDesigned) {
    ScriptedRuntime runtime;
    Form2 form;
    const Placed controls[] = {
        {"txtKey", {9360, 120, 600, 360}},   {"Text1", {3600, 120, 2295, 420}},
        {"txtData", {120, 600, 9975, 3615}}, {"Text2", {360, 4440, 9495, 765}},
        {"Minus", {2280, 120, 1200, 375}},   {"Plus", {6240, 120, 1200, 375}},
        {"Label1", {0, 4200, 10095, 255}},
    };
    for (const Placed& c : controls) {
        const auto* control = form.findChild<QWidget*>(QLatin1String(c.name));
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(control->geometry(),
                  TwipsRect(c.twips.x(), c.twips.y(), c.twips.width(), c.twips.height()))
            << c.name;
    }
    EXPECT_EQ(form.windowTitle(), QStringLiteral(u"\u00A3 Quillcount V3 \u00A3"));
    EXPECT_EQ(form.centralWidget()->size(), QSize(TwipsToPx(10260), TwipsToPx(4440)));
    EXPECT_EQ(form.height(), TwipsToPx(4440) + form.menuBar()->sizeHint().height());
    EXPECT_EQ(form.Minus->text(), QLatin1String("-----"));
    EXPECT_EQ(form.Plus->text(), QLatin1String("++++"));
    EXPECT_TRUE(form.Label1->text().isEmpty());
    EXPECT_FALSE(form.Label1->toolTip().isEmpty());
    EXPECT_EQ(form.Text1->maxLength(), 8);
    EXPECT_EQ(form.Text1->alignment(), Qt::AlignCenter);
    for (QWidget* field : {static_cast<QWidget*>(form.Text1), static_cast<QWidget*>(form.txtData),
                           static_cast<QWidget*>(form.Minus), static_cast<QWidget*>(form.Plus)})
        EXPECT_EQ(field->font(), DesignFont(QStringLiteral("MS Sans Serif"), 12, true))
            << field->objectName().toStdString();
    EXPECT_TRUE(form.txtData->isReadOnly());
    EXPECT_EQ(form.txtData->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form.txtData->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST(Form2Layout, ThePinHolderIsHiddenAndNeverFocused) {
    ScriptedRuntime runtime;
    Form2 form;
    EXPECT_TRUE(form.txtKey->isHidden());
    EXPECT_EQ(form.txtKey->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(form.txtKey->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form.txtKey->maxLength(), 4);
    EXPECT_EQ(form.txtKey->toolTip(), QLatin1String("Enter Pin & Press Enter "));
    EXPECT_EQ(form.txtKey->font(), DesignFont(QStringLiteral("Courier New"), 9.75, true));
    EXPECT_EQ(qobject_cast<NumericField*>(form.txtKey), nullptr) << "no key handling";
}

TEST(Form2Layout, TheFileMenuHoldsItsEntriesInOrder) {
    ScriptedRuntime runtime;
    Form2 form;
    const QList<QAction*> bar = form.menuBar()->actions();
    ASSERT_EQ(bar.size(), 1);
    EXPECT_EQ(bar[0]->text(), QLatin1String("&File"));
    EXPECT_EQ(bar[0]->menu(), form.File);
    QStringList names;
    QStringList captions;
    for (const QAction* entry : form.File->actions()) {
        names << entry->objectName();
        captions << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
        EXPECT_TRUE(entry->isEnabled() && entry->isVisible() && !entry->isCheckable());
        EXPECT_TRUE(entry->shortcut().isEmpty());
    }
    EXPECT_EQ(names, QStringList({"Sp1", "SaveUcTxt", "Sp4", "ChaPass", "Sp2", "ExitNoEc", "Sp3"}));
    EXPECT_EQ(captions, QStringList({"-", "&Save QcUcV3.1.Txt (UnEncrypted)", "-",
                                     "&Change PassWord", "-", "&Exit No Enctypt", "-"}));
    EXPECT_FALSE(form.File->separatorsCollapsible());
}
} // namespace
