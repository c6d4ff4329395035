#include "core/dates.h"
#include "core/ledger.h"
#include "gui/form1.h"
#include "gui/form2.h"
#include "gui/look.h"
#include "gui/numeric_field.h"
#include "gui/twips.h"
#include "support/controls.h"
#include "support/expected_lines.h"
#include "support/placement.h"
#include "support/scripted_runtime.h"

#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {
using namespace ledger_window;

// The scripted runtime's day, and a booking made the day before.
const QString Day = FormatDate(FixedDay());
const QString OneBooking = Expected(FormatDate(FixedDay().addDays(-1)), 85, "#12.50") +
                           Expected(FormatDate(FixedDay().addDays(-1)), 50, "+#12.50");

// The window shown and active, as the user meets it, showing a ledger as the session does:
// what the window asks to book is booked, and the outcome shown.
class Form2Test : public ::testing::Test {
  protected:
    void SetUp() override {
        QObject::connect(&form, &Form2::BookingRequested,
                         [this](Booking kind, const QString& amount) {
                             form.ShowBooking(ledger.Book(kind, amount, Today));
                         });
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    void Type(const QString& amount) {
        Text1(form)->clear();
        QTest::keyClicks(Text1(form), amount);
    }

    // The ledger field shows the ledger text line for line.
    void ExpectViewMatchesText() {
        QString shown = LedgerText();
        shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        EXPECT_EQ(txtData(form)->toPlainText(), shown);
    }

    const QString& LedgerText() const { return ledger.Text(); }
    void SetLedgerText(const QString& text) {
        ledger.SetText(text);
        form.ShowLedger(text);
    }

    ScriptedRuntime runtime;
    Form2 form;
    Ledger ledger;
};

TEST_F(Form2Test, ZeroAmountsBeepAndBookNothing) {
    SetLedgerText(OneBooking);
    for (const char* amount : {"", "0", "000", "0.00", "0.004", ".", "(5", "'5"}) {
        for (QPushButton* button : {Plus(form), Minus(form)}) {
            Type(QLatin1String(amount));
            ASSERT_EQ(Text1(form)->text(), QLatin1String(amount)) << "typed through the filter";
            const int beeps = runtime.beeps;
            QTest::mouseClick(button, Qt::LeftButton);
            EXPECT_EQ(runtime.beeps, beeps + 1) << amount;
            EXPECT_TRUE(Text1(form)->text().isEmpty()) << amount;
            EXPECT_TRUE(Text1(form)->hasFocus()) << amount;
            EXPECT_EQ(LedgerText(), OneBooking) << amount;
        }
    }
    ExpectViewMatchesText();
    EXPECT_TRUE(runtime.boxes.empty());
}

TEST_F(Form2Test, BookingsGoOnTopOfTheLedgerField) {
    SetLedgerText(OneBooking);
    Type(QStringLiteral("10"));
    QTest::mouseClick(Plus(form), Qt::LeftButton);
    QTest::mouseClick(Plus(form), Qt::LeftButton);
    EXPECT_EQ(Text1(form)->text(), QLatin1String("10"));
    Type(QStringLiteral("0.005"));
    QTest::mouseClick(Minus(form), Qt::LeftButton);
    EXPECT_EQ(LedgerText(), Expected(Day, 85, "#32.49") + Expected(Day, 20, "-#0.01") +
                                Expected(Day, 85, "#32.50") + Expected(Day, 50, "+#10.00") +
                                Expected(Day, 85, "#22.50") + Expected(Day, 50, "+#10.00") +
                                OneBooking);
    ExpectViewMatchesText();
    EXPECT_EQ(txtData(form)->textCursor().position(), 0) << "the newest lines in view";
    EXPECT_EQ(runtime.beeps, 0);
}

TEST_F(Form2Test, SpaceReturnAndEnterPressAFocusedBookingButton) {
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        for (QPushButton* button : {Plus(form), Minus(form)}) {
            const qsizetype before = LedgerText().size();
            Type(QStringLiteral("1"));
            button->setFocus();
            QTest::keyClick(button, key);
            EXPECT_GT(LedgerText().size(), before) << button->objectName().toStdString();
        }
    }
}

TEST_F(Form2Test, TheAmountFieldTakesEightCharactersAndNoEnter) {
    QTest::keyClicks(Text1(form), QStringLiteral("123456789"));
    EXPECT_EQ(Text1(form)->text(), QLatin1String("12345678"));
    QTest::keyClick(Text1(form), Qt::Key_Return);
    EXPECT_EQ(runtime.beeps, 1);
    EXPECT_TRUE(LedgerText().isEmpty());
    ExpectViewMatchesText();
}

TEST_F(Form2Test, TheBookingThatWouldOverfillTheLedgerIsRefused) {
    const QString fits(MaxLedgerLength - FirstCreditLength(MoneyUnitsPerOne), QLatin1Char(' '));
    SetLedgerText(fits);
    Type(QStringLiteral("1"));
    QTest::mouseClick(Plus(form), Qt::LeftButton);
    EXPECT_EQ(LedgerText().size(), MaxLedgerLength);
    EXPECT_TRUE(runtime.boxes.empty());

    const QString full = LedgerText();
    QTest::mouseClick(Plus(form), Qt::LeftButton);
    ASSERT_EQ(runtime.boxes.size(), 1u);
    EXPECT_EQ(runtime.boxes[0], Box::TooMuchText());
    EXPECT_EQ(LedgerText(), full);
    ExpectViewMatchesText();
}

TEST_F(Form2Test, AMoneyOverflowIsToldAndChangesNothing) {
    const QString huge = Expected(Day, 85, "#922337203685477.00") + Expected(Day, 50, "+#1.00");
    SetLedgerText(huge);
    Type(QStringLiteral("99999999"));
    QTest::mouseClick(Plus(form), Qt::LeftButton);
    ASSERT_EQ(runtime.boxes.size(), 1u);
    EXPECT_EQ(runtime.boxes[0], Box::NumberTooLarge());
    EXPECT_EQ(LedgerText(), huge);
    ExpectViewMatchesText();
}

TEST_F(Form2Test, TheLongestBalanceLineFitsWithoutWrapping) {
    SetLedgerText(Expected(Day, 85, "#-18999999981.00") + Expected(Day, 20, "-#99999999.00"));
    QCoreApplication::processEvents();
    const QTextBlock first = txtData(form)->document()->firstBlock();
    ASSERT_NE(first.layout(), nullptr);
    EXPECT_EQ(first.layout()->lineCount(), 1);
    EXPECT_LE(first.layout()->lineAt(0).naturalTextWidth(), txtData(form)->viewport()->width());

    // In a font far wider than the design's, the line scrolls sideways instead of wrapping.
    txtData(form)->setFont(DesignFont(QStringLiteral("DejaVu Sans"), 16, true));
    QCoreApplication::processEvents();
    EXPECT_EQ(txtData(form)->document()->firstBlock().layout()->lineCount(), 1);
    EXPECT_GT(txtData(form)->horizontalScrollBar()->maximum(), 0);
}

TEST_F(Form2Test, CloseAsksTheCloseSequenceAndStaysOpen) {
    QSignalSpy spy(&form, &Form2::CloseRequested);
    EXPECT_FALSE(form.close());
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(Form2Test, FirstFocusAndTabOrder) {
    EXPECT_TRUE(Text1(form)->hasFocus());
    QStringList order;
    QWidget* widget = Text1(form);
    do {
        order << widget->objectName();
        QTest::keyClick(widget, Qt::Key_Tab);
        widget = QApplication::focusWidget();
    } while (widget != Text1(form) && order.size() < 10);
    EXPECT_EQ(order, QStringList({"Text1", "txtData", "Minus", "Plus"}));
}

// Centred on the screen, then moved so that a window larger than the screen keeps its title
// bar, menu and close box on it.
TEST(Placement, WindowsOpenCentredWithTheirTopLeftOnTheScreen) {
    ScriptedRuntime runtime;
    Form1 pinWindow;
    Form2 ledgerWindow;
    for (QWidget* window : std::initializer_list<QWidget*>{&pinWindow, &ledgerWindow}) {
        window->show();
        const QRect screen = window->screen()->availableGeometry();
        const QRect frame = window->frameGeometry();
        EXPECT_EQ(frame.left(), screen.left() + std::max((screen.width() - frame.width()) / 2, 0));
        EXPECT_EQ(frame.top(), screen.top() + std::max((screen.height() - frame.height()) / 2, 0));
    }
}

TEST(Form2Layout, ControlsStandWhereDesigned) {
    ScriptedRuntime runtime;
    Form2 form;
    ExpectPlaced(form, {
                           {"Text1", TwipsRect(3600, 120, 2295, 420)},
                           {"txtData", TwipsRect(120, 600, 9975, 3615)},
                           {"Minus", TwipsRect(2280, 120, 1200, 375)},
                           {"Plus", TwipsRect(6240, 120, 1200, 375)},
                           {"Label1", TwipsRect(0, 4200, 10095, 255)},
                       });
    EXPECT_EQ(form.windowTitle(), Texts::LedgerCaption);
    EXPECT_EQ(form.centralWidget()->size(), QSize(TwipsToPx(10260), TwipsToPx(4440)));
    EXPECT_EQ(form.height(), TwipsToPx(4440) + form.menuBar()->sizeHint().height());
    EXPECT_EQ(Minus(form)->text(), Texts::DebitCaption);
    EXPECT_EQ(Plus(form)->text(), Texts::CreditCaption);
    EXPECT_TRUE(Label1(form)->text().isEmpty());
    EXPECT_FALSE(Label1(form)->toolTip().isEmpty());
    EXPECT_EQ(Text1(form)->maxLength(), 8);
    EXPECT_EQ(Text1(form)->alignment(), Qt::AlignCenter);
    for (QWidget* field : {static_cast<QWidget*>(Text1(form)), static_cast<QWidget*>(txtData(form)),
                           static_cast<QWidget*>(Minus(form)), static_cast<QWidget*>(Plus(form))})
        EXPECT_EQ(field->font(), DesignFont(QStringLiteral("MS Sans Serif"), 12, true))
            << field->objectName().toStdString();
    EXPECT_TRUE(txtData(form)->isReadOnly());
    EXPECT_EQ(txtData(form)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(txtData(form)->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_FALSE(txtKey(form)) << "the PIN is the run's";
}

TEST(Form2Layout, TheFileMenuHoldsItsEntriesInOrder) {
    ScriptedRuntime runtime;
    Form2 form;
    const QList<QAction*> bar = form.menuBar()->actions();
    ASSERT_EQ(bar.size(), 1);
    EXPECT_EQ(bar[0]->text(), Texts::FileMenu);
    EXPECT_EQ(bar[0]->menu(), File(form));
    QStringList names;
    QStringList captions;
    for (const QAction* entry : File(form)->actions()) {
        names << entry->objectName();
        captions << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
        EXPECT_TRUE(entry->isEnabled() && entry->isVisible() && !entry->isCheckable());
        EXPECT_TRUE(entry->shortcut().isEmpty());
    }
    EXPECT_EQ(names, QStringList({"Sp1", "SaveUcTxt", "Sp4", "ChaPass", "Sp2", "ExitNoEc", "Sp3"}));
    EXPECT_EQ(captions, QStringList({"-", Texts::SaveUcTxtEntry, "-", Texts::ChaPassEntry, "-",
                                     Texts::ExitNoEcEntry, "-"}));
    EXPECT_FALSE(File(form)->separatorsCollapsible());
}
} // namespace
