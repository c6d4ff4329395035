// Whole runs through the real windows: PIN, unlock of the stored ledger, bookings, the
// File menu, the Change PIN window and the close that enciphers and saves. The scripted
// runtime answers the boxes and records the program's end instead of ending the test.
#include "app/ledger_lock.h"
#include "app/program.h"
#include "app/run_end.h"
#include "core/win1252.h"
#include "gui/form3.h"
#include "gui/qt_runtime.h"
#include "support/controls.h"
#include "support/file_helpers.h"
#include "support/scripted_runtime.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSessionManager>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {
using namespace ledger_window;

const QString Pound(QChar(0x00A3));

class FullRunTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    // Nothing of a run goes on once it has ended.
    void TearDown() override { EXPECT_EQ(rt.usedAfterEnd, 0); }

    // A fresh start of the program: the PIN window, the PIN typed and Enter pressed.
    Form2* Start(const QString& pin, const QString& in = {}) {
        EXPECT_EQ(rt.usedAfterEnd, 0);
        rt.ends = 0;
        program.reset();
        store = OpenStore(in.isEmpty() ? folder.path() : in);
        program = std::make_unique<Program>(*store);
        program->Show();
        auto* txtKey = Find<NumericField>(*PinWindow(), "txtKey");
        QTest::keyClicks(txtKey, pin);
        QTest::keyClick(txtKey, Qt::Key_Return);
        return FindWindow<Form2>();
    }

    void Book(Form2* ledger, const char* amount, QPushButton* button) {
        Text1(*ledger)->clear();
        QTest::keyClicks(Text1(*ledger), QLatin1String(amount));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Two bookings, closed through the close box: the ledger file is written.
    QString StoreTwoBookings(const QString& pin) {
        Form2* ledger = Start(pin);
        Book(ledger, "12.5", Plus(*ledger));
        Book(ledger, "20", Minus(*ledger));
        const QString text = Shown(ledger);
        ledger->close();
        EXPECT_EQ(rt.ends, 1);
        return text;
    }

    static Form1* PinWindow() { return FindWindow<Form1>(false); }
    // The ledger text as the ledger window shows it.
    static QString Shown(const Form2* ledger) {
        return txtData(*ledger)->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    }

    QByteArray LedgerFile() const { return ReadBytes(LedgerFilePath(folder.path())); }
    QByteArray PlainCopy() const { return ReadBytes(PlainCopyPath(folder.path())); }

    static Form3* ChangePinWindow() { return FindWindow<Form3>(); }
    // As an ending the user did not choose saves the run that is open.
    void SaveQuietly() { RunEnd(*store).SaveQuietly(); }

    // Types a PIN into one of the Change PIN window's fields and presses Enter.
    static void Enter(Form3* window, const char* field, const char* pin) {
        auto* edit = window->findChild<QLineEdit*>(QLatin1String(field));
        QTest::keyClicks(edit, QLatin1String(pin));
        QTest::keyClick(edit, Qt::Key_Return);
    }

    QTemporaryDir folder;
    ScriptedRuntime rt;
    std::unique_ptr<LedgerStore> store;
    std::unique_ptr<Program> program;
};

TEST_F(FullRunTest, FirstRunOpensAnEmptyLedgerAndClosingItWritesNothing) {
    Form2* ledger = Start("1234");
    ASSERT_NE(ledger, nullptr);
    EXPECT_TRUE(ledger->isVisible());
    EXPECT_FALSE(PinWindow()->isVisible());
    EXPECT_TRUE(Shown(ledger).isEmpty());
    EXPECT_TRUE(rt.boxes.empty());

    ledger->close();
    EXPECT_EQ(rt.ends, 1);
    EXPECT_FALSE(QFile::exists(LedgerFilePath(folder.path())));
}

TEST_F(FullRunTest, ClosingThePinWindowShrinksItOffTheScreenAndEnds) {
    store = OpenStore(folder.path());
    program = std::make_unique<Program>(*store);
    program->Show();
    PinWindow()->close();
    EXPECT_EQ(rt.ends, 1);
    EXPECT_GT(PinWindow()->y() * 15, rt.screenWidthTwips);
    EXPECT_TRUE(rt.boxes.empty());
}

TEST(RunEnd, NothingRunsAfterTheProgramEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QtRuntime runtime;
            SetRuntime(&runtime);
            QTemporaryDir folder;
            const auto store = OpenStore(folder.path());
            Program program(*store);
            program.Show();
            FindWindow<Form1>()->close();
            std::fputs("still running", stderr);
            std::abort();
        },
        ::testing::ExitedWithCode(0), "");
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
    EXPECT_EQ(Shown(reopened), text);
    EXPECT_TRUE(rt.boxes.empty());
    // The balance carries on from the stored ledger.
    Book(reopened, "7.5", Plus(*reopened));
    EXPECT_TRUE(Shown(reopened)
                    .section(QStringLiteral("\r\n"), 0, 0)
                    .endsWith(Pound + QStringLiteral("0.00")));
}

TEST_F(FullRunTest, AWrongPinIsRefusedAndEndsTheRunWithTheFileUntouched) {
    StoreTwoBookings("1234");
    const QByteArray before = LedgerFile();

    EXPECT_EQ(Start("4321"), nullptr);
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0], Box::WrongPin());
    EXPECT_EQ(rt.ends, 1);
    EXPECT_TRUE(PinWindow()->isVisible()) << "the PIN window stays up until the program ends";
    EXPECT_EQ(LedgerFile(), before);
}

TEST_F(FullRunTest, ExitNoEnctyptEndsWithoutWritingTheLedgerFile) {
    StoreTwoBookings("1234");
    const QByteArray before = LedgerFile();
    Form2* ledger = Start("1234");
    Book(ledger, "99", Plus(*ledger));
    ExitNoEc(*ledger)->trigger();
    EXPECT_EQ(rt.ends, 1);
    EXPECT_EQ(LedgerFile(), before);
}

TEST_F(FullRunTest, PlainCopyThenNoKeepsTheWindowAndALaterCloseStillSaves) {
    Form2* ledger = Start("1234");
    Book(ledger, "5", Plus(*ledger));
    rt.answers = {MsgAnswer::No};
    SaveUcTxt(*ledger)->trigger();

    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0], Box::PlainCopySaved());
    EXPECT_EQ(rt.ends, 0);
    EXPECT_TRUE(ledger->isVisible());
    const QByteArray plain = PlainCopy();
    EXPECT_EQ(plain.size(), Shown(ledger).size() + 2);
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
    Book(ledger, "1", Minus(*ledger));
    rt.answers = {MsgAnswer::Yes};
    SaveUcTxt(*ledger)->trigger();
    EXPECT_EQ(rt.ends, 1);
    EXPECT_EQ(PlainCopy(), ToWin1252(Shown(ledger) + QStringLiteral("\r\n")));
    EXPECT_EQ(LedgerFile(), before);
}

TEST_F(FullRunTest, AChangedPinIsTheOneTheNextStartNeeds) {
    const QString text = StoreTwoBookings("1234");
    Form2* ledger = Start("1234");
    ChaPass(*ledger)->trigger();
    EXPECT_FALSE(ledger->isVisible());
    Form3* change = ChangePinWindow();
    ASSERT_NE(change, nullptr);
    Enter(change, "txtKey1", "1234");
    Enter(change, "txtKey2", "9876");
    Enter(change, "txtKey3", "9876");
    EXPECT_TRUE(ledger->isVisible());
    // The old PIN is still the one the ledger was opened with.
    ChaPass(*ledger)->trigger();
    change = ChangePinWindow();
    ASSERT_NE(change, nullptr);
    Enter(change, "txtKey1", "9876");
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0], Box::IncorrectOldPin());
    Enter(change, "txtKey1", "1234");
    EXPECT_TRUE(change->findChild<QLineEdit*>(QStringLiteral("txtKey2"))->isVisible());
    change->close();
    ledger->close();
    EXPECT_EQ(rt.ends, 1);

    EXPECT_EQ(Start("1234"), nullptr) << "the old PIN no longer opens the ledger";
    const Form2* reopened = Start("9876");
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(Shown(reopened), text);
}

TEST_F(FullRunTest, AShortNewPinIsRefusedSoTheNextSaveStillHappens) {
    Form2* ledger = Start("1234");
    Book(ledger, "3", Plus(*ledger));
    ChaPass(*ledger)->trigger();
    Form3* change = ChangePinWindow();
    ASSERT_NE(change, nullptr);
    Enter(change, "txtKey1", "1234");
    Enter(change, "txtKey2", "12");
    Enter(change, "txtKey3", "12");
    ASSERT_FALSE(rt.boxes.empty());
    EXPECT_EQ(rt.boxes.back(), Box::PinNotFourDigits());
    change->close();
    EXPECT_TRUE(ledger->isVisible());

    const QString text = Shown(ledger);
    ledger->close();
    const Form2* reopened = Start("1234");
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(Shown(reopened), text);
}

TEST_F(FullRunTest, AFailedSaveKeepsTheWindowWithThePlainLedgerAndTheOldFile) {
    // A folder put at the ledger's name during the run: the save cannot replace it.
    Form2* ledger = Start("1234");
    Book(ledger, "42", Plus(*ledger));
    const QString text = Shown(ledger);
    ASSERT_TRUE(QDir(folder.path()).mkdir(LedgerFileName));

    rt.answers = {MsgAnswer::Yes}; // replace what now stands at the name
    ledger->close();
    EXPECT_EQ(rt.ends, 0) << "the program does not end with the bookings unsaved";
    ASSERT_EQ(rt.boxes.size(), 2u);
    EXPECT_EQ(rt.boxes[0],
              Box::LedgerUncheckable(LedgerFilePath(folder.path()), {FileError::Kind::Folder, {}}))
        << "what cannot be read is not said to have changed";
    EXPECT_EQ(rt.boxes[1].title, QStringLiteral(" Error "));
    EXPECT_EQ(rt.boxes[1].style, MsgStyle::Critical);
    EXPECT_TRUE(rt.boxes[1].prompt.contains(QStringLiteral("could not be saved")));
    EXPECT_TRUE(ledger->isVisible());
    EXPECT_EQ(txtData(*ledger)->toPlainText(),
              QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")))
        << "the plain ledger shows again, not the enciphered one";

    // Once the cause is gone, closing again saves.
    ASSERT_TRUE(QDir(folder.path()).rmdir(LedgerFileName));
    ledger->close();
    EXPECT_EQ(rt.ends, 1);
    EXPECT_EQ(LedgerFile().size(), text.size() + 3);
}

TEST_F(FullRunTest, ALedgerFileThatCannotBeReadEndsTheRunWithoutTouchingIt) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(LedgerFileName));
    EXPECT_EQ(Start("1234"), nullptr);
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0],
              Box::LedgerUnreadable(LedgerFilePath(folder.path()), {FileError::Kind::Folder, {}}));
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
    EXPECT_EQ(rt.boxes[0], Box::TooMuchText());
    EXPECT_EQ(rt.ends, 1);
    EXPECT_EQ(LedgerFile(), tooLong);
}

// The desktop's "save session", as the application hears it, saving the run that is open.
void Checkpoint(LedgerStore& store) {
    RunEnd end(store);
    end.Install();
    auto* manager = qApp->findChild<QSessionManager*>();
    ASSERT_NE(manager, nullptr);
    emit qApp->commitDataRequest(*manager);
}

// A session checkpoint, or an ending's quiet save, saves and the run goes on; the one after it
// saves what came since.
TEST_F(FullRunTest, QuietSavesLeaveTheRunGoingAndKeepEveryBooking) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"session checkpoint", [this] { Checkpoint(*store); }},
        {"quiet save", [this] { SaveQuietly(); }},
    };
    for (const auto& [way, save] : ways) {
        Form2* ledger = Start("1234");
        EXPECT_EQ(rt.pointers, (std::vector{MousePointer::Hourglass, MousePointer::Default}))
            << "the hourglass shows while the ledger is deciphered";
        rt.pointers.clear();
        Book(ledger, "8", Plus(*ledger));
        save();
        EXPECT_TRUE(ledger->isVisible()) << way;
        Book(ledger, "3", Minus(*ledger));
        const QString text = Shown(ledger);
        save();
        EXPECT_TRUE(rt.boxes.empty()) << way;
        EXPECT_EQ(rt.ends, 0) << way;
        EXPECT_TRUE(rt.pointers.empty()) << way << ": a quiet save must not touch the display";
        const Form2* reopened = Start("1234");
        ASSERT_NE(reopened, nullptr);
        EXPECT_EQ(Shown(reopened), text) << way;
        rt.pointers.clear();
    }
}

// The ledger's place is held for the run: the folder may move, a second folder may link to
// the same ledger, and the file may change behind the program's back without a loss.
TEST_F(FullRunTest, TheLedgersPlaceIsHeldForTheRun) {
    const QString moved = folder.filePath(QStringLiteral("moved"));
    const QString first = folder.filePath(QStringLiteral("first"));
    ASSERT_TRUE(QDir().mkpath(first));
    Form2* ledger = Start("1234", first);
    Book(ledger, "10", Plus(*ledger));
    ASSERT_TRUE(QDir().rename(first, moved));
    ledger->close();
    EXPECT_EQ(rt.ends, 1);
    EXPECT_TRUE(rt.boxes.empty());
    ASSERT_TRUE(QFile::exists(LedgerFilePath(moved))) << "saved where the folder went";

    // Two folders with a link to one ledger: the lock is beside the ledger, so one copy.
    rt.ends = 0; // two starts of the program
    const QString second = folder.filePath(QStringLiteral("second"));
    ASSERT_TRUE(QDir().mkpath(second));
    ASSERT_TRUE(QFile::link(LedgerFilePath(moved), LedgerFilePath(second)));
    const auto one = OpenStore(moved);
    const auto other = OpenStore(second);
    ASSERT_EQ(TakeLedgerLock(*one).status, LockOutcome::Status::Held);
    EXPECT_EQ(TakeLedgerLock(*other).status, LockOutcome::Status::Open);
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0], Box::AlreadyOpen(second));
    one->Close();
    rt.boxes.clear();

    // Replaced while open: No keeps the window and the other file, Yes replaces it.
    ledger = Start("1234", moved);
    Book(ledger, "5", Minus(*ledger));
    const QByteArray theirs = "another copy's ledger\r\n";
    ASSERT_TRUE(QFile::remove(LedgerFilePath(moved)));
    ASSERT_TRUE(WriteBytes(LedgerFilePath(moved), theirs));
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        rt.answers = {answer};
        ledger->close();
        ASSERT_EQ(rt.boxes.size(), answer == MsgAnswer::No ? 1u : 2u);
        EXPECT_EQ(rt.boxes.back(), Box::LedgerChanged(LedgerFilePath(moved)));
    }
    EXPECT_EQ(rt.ends, 1);
    EXPECT_NE(ReadBytes(LedgerFilePath(moved)), theirs);

    // Changed again under a run that ends by a signal: both are kept.
    ledger = Start("1234", moved);
    Book(ledger, "1", Plus(*ledger));
    ASSERT_TRUE(WriteBytes(LedgerFilePath(moved), theirs)); // rewritten in place
    SaveQuietly();
    SaveQuietly(); // a later quiet save replaces this run's own kept file
    EXPECT_EQ(ReadBytes(LedgerFilePath(moved)), theirs);
    const QStringList kept = QDir(moved).entryList({QString(LedgerFileName) + KeptSuffix + "*"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(ReadBytes(QDir(moved).filePath(kept[0])).size(), Shown(ledger).size() + 3);

    // Deleted under a run that ends by a signal: there is nothing to keep, so it is saved.
    ASSERT_TRUE(QFile::remove(LedgerFilePath(moved)));
    SaveQuietly();
    EXPECT_EQ(ReadBytes(LedgerFilePath(moved)).size(), Shown(ledger).size() + 3);

    // Not writable at all (a link into a folder that is gone, here) under a run that ends by a
    // signal: the run is kept beside it all the same, in its own kept file.
    Book(ledger, "2", Plus(*ledger));
    const QString saved = LedgerFilePath(moved) + ".saved";
    ASSERT_TRUE(QFile::rename(LedgerFilePath(moved), saved) &&
                QFile::link(moved + "/gone/ledger", LedgerFilePath(moved)));
    SaveQuietly();
    EXPECT_EQ(ReadBytes(QDir(moved).filePath(kept[0])).size(), Shown(ledger).size() + 3);
    ASSERT_TRUE(QFile::remove(LedgerFilePath(moved)) &&
                QFile::rename(saved, LedgerFilePath(moved)));

    // The next start names the kept ledger before the PIN, and a second name of the file is
    // told once it is open.
    ASSERT_TRUE(HardLink(LedgerFilePath(moved), folder.filePath(QStringLiteral("hard"))));
    rt.boxes.clear();
    ASSERT_NE(Start("1234", moved), nullptr);
    ASSERT_EQ(rt.boxes.size(), 2u);
    EXPECT_EQ(rt.boxes[0], Box::KeptLedgers({{KeptFile::Why::Changed, QDir(moved).filePath(kept[0]),
                                              moved, LedgerFileName}}));
    EXPECT_EQ(rt.boxes[1], Box::LedgerHasOtherNames(LedgerFilePath(moved)));
}

TEST_F(FullRunTest, ATerminationAfterExitNoEnctyptWritesNothing) {
    Form2* ledger = Start("1234");
    Book(ledger, "8", Plus(*ledger));
    ExitNoEc(*ledger)->trigger();
    SaveQuietly();
    EXPECT_FALSE(QFile::exists(LedgerFilePath(folder.path())));
}

} // namespace
