// Whole runs through the real windows: PIN, unlock of the stored ledger, bookings, the
// File menu, the Change PIN window and the close that enciphers and saves. The scripted
// runtime answers the boxes and records the program's end instead of ending the test.
#include "change_pin_window.h"
#include "form1.h"
#include "form2.h"
#include "key_filter.h"
#include "ledger_files.h"
#include "ledger_session.h"
#include "scripted_runtime.h"
#include "win1252.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString Pound(QChar(0x00A3));

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FullRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        rt.appPath = folder.path();
    }

    // A fresh start of the program: the PIN window, the PIN typed and Enter pressed.
    Form2* Start(const QString& pin) {
        rt.ends = 0;
        form1 = std::make_unique<Form1>();
        form1->show();
        QTest::keyClicks(form1->txtKey, pin);
        QTest::keyClick(form1->txtKey, Qt::Key_Return);
        LedgerSession* session = form1->Session();
        return session && session->Window().isVisible() ? &session->Window() : nullptr;
    }

    void Book(Form2* ledger, const char* amount, QPushButton* button) {
        ledger->Text1->clear();
        QTest::keyClicks(ledger->Text1, QLatin1String(amount));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Two bookings, closed through the close box: the ledger file is written.
    QString StoreTwoBookings(const QString& pin) {
        Form2* ledger = Start(pin);
        Book(ledger, "12.5", ledger->Plus);
        Book(ledger, "20", ledger->Minus);
        const QString text = ledger->LedgerText();
        ledger->close();
        EXPECT_EQ(rt.ends, 1);
        return text;
    }

    QByteArray LedgerFile() const { return ReadFile(LedgerFilePath(folder.path())); }
    QByteArray PlainCopy() const { return ReadFile(PlainCopyPath(folder.path())); }

    Form3* ChangePinWindow() const {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<Form3*>(widget); window && window->isVisible())
                return window;
        return nullptr;
    }

    // Types a PIN into one of the Change PIN window's fields and presses Enter.
    static void Enter(Form3* window, const char* field, const char* pin) {
        auto* edit = window->findChild<QLineEdit*>(QLatin1String(field));
        QTest::keyClicks(edit, QLatin1String(pin));
        QTest::keyClick(edit, Qt::Key_Return);
    }

    QTemporaryDir folder;
    ScriptedRuntime rt;
    std::unique_ptr<Form1> form1;
};

TEST_F(FullRunTest, FirstRunOpensAnEmptyLedgerAndClosingItWritesNothing) {
    Form2* ledger = Start("1234");
    ASSERT_NE(ledger, nullptr);
    EXPECT_TRUE(ledger->isVisible());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(ledger->LedgerText().isEmpty());
    EXPECT_TRUE(rt.boxes.empty());
    EXPECT_EQ(ledger->txtKey->text(), QStringLiteral("1234"));

    ledger->close();
    EXPECT_EQ(rt.ends, 1);
    EXPECT_FALSE(QFile::exists(LedgerFilePath(folder.path())));
}

TEST_F(FullRunTest, AClosedLedgerOpensAgainExactlyUnderTheSamePin) {
    const QString text = StoreTwoBookings("0479");
    EXPECT_TRUE(text.startsWith(QStringLiteral("06/12/2026")));
    EXPECT_TRUE(text.contains(Pound + QStringLiteral("-7.50\r\n")));

    const QByteArray file = LedgerFile();
    ASSERT_EQ(file.size(), text.size() + 3);
    EXPECT_TRUE(file.endsWith("\r\n"));
    EXPECT_EQ(file.count("\r\n"), 5) << "line ends stay in place, unenciphered";
    EXPECT_FALSE(file.contains("12.50")) << "the amounts are not stored in clear";

    Form2* reopened = Start("0479");
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->LedgerText(), text);
    EXPECT_TRUE(rt.boxes.empty());
    // The balance carries on from the stored ledger.
    Book(reopened, "7.5", reopened->Plus);
    EXPECT_TRUE(reopened->LedgerText()
                    .section(QStringLiteral("\r\n"), 0, 0)
                    .endsWith(Pound + QStringLiteral("0.00")));
}

TEST_F(FullRunTest, AWrongPinIsRefusedAndEndsTheRunWithTheFileUntouched) {
    StoreTwoBookings("1234");
    const QByteArray before = LedgerFile();

    EXPECT_EQ(Start("4321"), nullptr);
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0].prompt, QStringLiteral(" Opps Wrong Password "));
    EXPECT_EQ(rt.boxes[0].title, QStringLiteral(" Error "));
    EXPECT_EQ(rt.boxes[0].style, 16);
    EXPECT_EQ(rt.ends, 1);
    EXPECT_TRUE(form1->isVisible()) << "the PIN window stays up until the program ends";
    EXPECT_EQ(LedgerFile(), before);
}

TEST_F(FullRunTest, ExitNoEnctyptEndsWithoutWritingTheLedgerFile) {
    StoreTwoBookings("1234");
    const QByteArray before = LedgerFile();
    Form2* ledger = Start("1234");
    Book(ledger, "99", ledger->Plus);
    ledger->ExitNoEc->trigger();
    EXPECT_EQ(rt.ends, 1);
    EXPECT_EQ(LedgerFile(), before);
}

TEST_F(FullRunTest, PlainCopyThenNoKeepsTheWindowAndALaterCloseStillSaves) {
    Form2* ledger = Start("1234");
    Book(ledger, "5", ledger->Plus);
    rt.answers = {MsgAnswer::No};
    ledger->SaveUcTxt->trigger();

    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0].prompt,
              QStringLiteral("QcUcV3.1.Txt File Saved Do you wish to Exit  Yes No?"));
    EXPECT_EQ(rt.boxes[0].title, QStringLiteral("Query"));
    EXPECT_EQ(rt.boxes[0].style, 36);
    EXPECT_EQ(rt.ends, 0);
    EXPECT_TRUE(ledger->isVisible());
    const QByteArray plain = PlainCopy();
    EXPECT_EQ(plain.size(), ledger->LedgerText().size() + 2);
    EXPECT_TRUE(plain.contains("\xA3"
                               "5.00\r\n"))
        << "the pound sign is byte 163";
    EXPECT_FALSE(QFile::exists(LedgerFilePath(folder.path())));

    ledger->close();
    EXPECT_EQ(rt.ends, 1);
    EXPECT_EQ(LedgerFile().size(), PlainCopy().size() + 1);
}

TEST_F(FullRunTest, PlainCopyThenYesEndsWithoutWritingTheLedgerFile) {
    StoreTwoBookings("1234");
    const QByteArray before = LedgerFile();
    Form2* ledger = Start("1234");
    Book(ledger, "1", ledger->Minus);
    rt.answers = {MsgAnswer::Yes};
    ledger->SaveUcTxt->trigger();
    EXPECT_EQ(rt.ends, 1);
    EXPECT_EQ(PlainCopy(), ToWin1252(ledger->LedgerText() + QStringLiteral("\r\n")));
    EXPECT_EQ(LedgerFile(), before);
}

TEST_F(FullRunTest, AChangedPinIsTheOneTheNextStartNeeds) {
    const QString text = StoreTwoBookings("1234");
    Form2* ledger = Start("1234");
    ledger->ChaPass->trigger();
    EXPECT_FALSE(ledger->isVisible());
    Form3* change = ChangePinWindow();
    ASSERT_NE(change, nullptr);
    Enter(change, "txtKey1", "1234");
    Enter(change, "txtKey2", "9876");
    Enter(change, "txtKey3", "9876");
    EXPECT_TRUE(ledger->isVisible());
    EXPECT_EQ(ledger->txtKey->text(), QStringLiteral("9876"));
    ledger->close();
    EXPECT_EQ(rt.ends, 1);

    EXPECT_EQ(Start("1234"), nullptr) << "the old PIN no longer opens the ledger";
    ASSERT_NE(Start("9876"), nullptr);
    EXPECT_EQ(form1->Session()->Window().LedgerText(), text);
}

TEST_F(FullRunTest, AShortNewPinIsRefusedSoTheNextSaveStillHappens) {
    Form2* ledger = Start("1234");
    Book(ledger, "3", ledger->Plus);
    ledger->ChaPass->trigger();
    Form3* change = ChangePinWindow();
    ASSERT_NE(change, nullptr);
    Enter(change, "txtKey1", "1234");
    Enter(change, "txtKey2", "12");
    Enter(change, "txtKey3", "12");
    ASSERT_FALSE(rt.boxes.empty());
    EXPECT_EQ(rt.boxes.back().prompt, QStringLiteral("Enter Pin 4 Numbers"));
    change->close();
    EXPECT_TRUE(ledger->isVisible());
    EXPECT_EQ(ledger->txtKey->text(), QStringLiteral("1234"));

    const QString text = ledger->LedgerText();
    ledger->close();
    ASSERT_NE(Start("1234"), nullptr);
    EXPECT_EQ(form1->Session()->Window().LedgerText(), text);
}

TEST_F(FullRunTest, AFailedSaveKeepsTheWindowWithThePlainLedgerAndTheOldFile) {
    // A folder that is not there yet: nothing to read, and the save cannot create its file.
    const QString missing = folder.filePath(QStringLiteral("later"));
    rt.appPath = missing;
    Form2* ledger = Start("1234");
    Book(ledger, "42", ledger->Plus);
    const QString text = ledger->LedgerText();

    ledger->close();
    EXPECT_EQ(rt.ends, 0) << "the program does not end with the bookings unsaved";
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0].title, QStringLiteral(" Error "));
    EXPECT_EQ(rt.boxes[0].style, 16);
    EXPECT_TRUE(rt.boxes[0].prompt.contains(QStringLiteral("could not be saved")));
    EXPECT_TRUE(ledger->isVisible());
    EXPECT_EQ(ledger->LedgerText(), text);
    EXPECT_EQ(ledger->txtData->toPlainText(),
              QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")))
        << "the plain ledger shows again, not the enciphered one";

    // Once the cause is gone, closing again saves.
    ASSERT_TRUE(QDir().mkpath(missing));
    ledger->close();
    EXPECT_EQ(rt.ends, 1);
    EXPECT_EQ(ReadFile(LedgerFilePath(missing)).size(), text.size() + 3);
}

TEST_F(FullRunTest, ALedgerFileThatCannotBeReadEndsTheRunWithoutTouchingIt) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("QcEcV3.1.Txt")));
    EXPECT_EQ(Start("1234"), nullptr);
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_TRUE(rt.boxes[0].prompt.contains(QStringLiteral("cannot be read")));
    EXPECT_EQ(rt.boxes[0].style, 16);
    EXPECT_EQ(rt.ends, 1);
    EXPECT_TRUE(QFileInfo(LedgerFilePath(folder.path())).isDir());
}

TEST_F(FullRunTest, ALedgerFileTooLongToDecipherEndsTheRunWithoutTouchingIt) {
    const QByteArray tooLong(32768, 'x');
    {
        QFile file(LedgerFilePath(folder.path()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(tooLong);
    }
    EXPECT_EQ(Start("1234"), nullptr);
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0].prompt, QStringLiteral(" To Much TeX To Encode "));
    EXPECT_EQ(rt.boxes[0].style, 64);
    EXPECT_EQ(rt.ends, 1);
    EXPECT_EQ(LedgerFile(), tooLong);
}

// A session checkpoint saves and the run goes on; the ending after it saves what came since.
TEST_F(FullRunTest, QuietSavesLeaveTheRunGoingAndKeepEveryBooking) {
    Form2* ledger = Start("1234");
    EXPECT_EQ(rt.pointers, (std::vector{MousePointer::Hourglass, MousePointer::Default}))
        << "the hourglass shows while the ledger is deciphered";
    rt.pointers.clear();
    Book(ledger, "8", ledger->Plus);
    form1->Session()->SaveQuietly();
    EXPECT_TRUE(ledger->isVisible());
    Book(ledger, "3", ledger->Minus);
    const QString text = ledger->LedgerText();
    form1->Session()->SaveQuietly();
    EXPECT_TRUE(rt.boxes.empty());
    EXPECT_EQ(rt.ends, 0);
    EXPECT_TRUE(rt.pointers.empty()) << "a quiet save must not touch the display";
    ASSERT_NE(Start("1234"), nullptr);
    EXPECT_EQ(form1->Session()->Window().LedgerText(), text);
}

TEST_F(FullRunTest, ATerminationAfterExitNoEnctyptWritesNothing) {
    Form2* ledger = Start("1234");
    Book(ledger, "8", ledger->Plus);
    ledger->ExitNoEc->trigger();
    form1->Session()->SaveQuietly();
    EXPECT_FALSE(QFile::exists(LedgerFilePath(folder.path())));
}

} // namespace
