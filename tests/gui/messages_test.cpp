// The catalogue against the design's own texts: the one place they are written out again,
// so that every other test compares with the catalogue.
#include "gui/messages.h"
#include "gui/qt_runtime.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

struct Expected {
    BoxMessage box;
    const char16_t* prompt;
    MsgStyle style;
    const char16_t* title;
};

TEST(Messages, CoreResultsBecomeTheDesignedBoxes) {
    const Expected cases[] = {
        {Box::PinEmpty(), u"Enter Pin", MsgStyle::Critical, u" Error "},
        {Box::PinNotFourDigits(), u"Enter Pin 4 Numbers", MsgStyle::Critical, u" Error "},
        {Box::TooMuchText(), u" To Much TeX To Encode ", MsgStyle::Information, u" Error "},
        {Box::WrongPin(), u" Opps Wrong Password ", MsgStyle::Critical, u" Error "},
        {Box::PlainCopySaved(), u"QcUcV3.1.Txt File Saved Do you wish to Exit  Yes No?",
         MsgStyle::YesNoQuestion, u"Query"},
    };
    for (const Expected& c : cases) {
        EXPECT_EQ(c.box.prompt, QStringView(c.prompt));
        EXPECT_EQ(c.box.style, c.style) << c.box.prompt.toStdString();
        EXPECT_EQ(c.box.title, QStringView(c.title)) << c.box.prompt.toStdString();
    }
}

TEST(Messages, TextsBuiltFromAFileNameSpellItAsDesigned) {
    EXPECT_EQ(Texts::SaveUcTxtEntry, QStringView(u"&Save QcUcV3.1.Txt (UnEncrypted)"));
}

TEST(Messages, FileFailuresSayWhereAndWhy) {
    const FileError diskFull{FileError::Kind::System, QStringLiteral("No space left on device")};
    const BoxMessage box = Box::LedgerNotSaved(QStringLiteral("/home/me/QcEcV3.1.Txt"), diskFull);
    EXPECT_TRUE(box.prompt.startsWith(
        QStringLiteral("The ledger could not be saved to /home/me/QcEcV3.1.Txt: No space left")));
    for (const auto kind : {FileError::Kind::Folder, FileError::Kind::NotRegular,
                            FileError::Kind::ForeignLink, FileError::Kind::ReadOnly})
        EXPECT_FALSE(Box::Why({kind, {}}).isEmpty());
    // Windows' words end in a period and a line break, and some errors have none at all.
    EXPECT_EQ(Box::Why({FileError::Kind::System, QStringLiteral("Access is denied.\r\n"), 5}),
              QStringLiteral("Access is denied"));
    EXPECT_EQ(Box::Why({FileError::Kind::System, {}, 1234}), QStringLiteral("Error 1234"));
}

TEST(Messages, RealBoxesShowOutsideTextLiterally) {
    const QString prompt =
        QStringLiteral("<font size=7 color=red><b>YOUR BANK</b></font><br>&amp;");
    const QString title = QStringLiteral("<i>Query</i> [*]");
    QtRuntime runtime;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), prompt);
        EXPECT_EQ(box->windowHandle()->title(), title);
        box->done(QMessageBox::No);
    });
    EXPECT_EQ(runtime.MsgBox(prompt, MsgStyle::YesNoQuestion, title), MsgAnswer::No);
    EXPECT_TRUE(seen);
}

// Each kept file with its own reason and the name that opens it; thousands of them still make a
// box whose button is on the screen.
TEST(Messages, KeptLedgersAreToldEachWithWhyWithinTheScreen) {
    QList<KeptFile> kept;
    for (int n = 1; n <= 3000; ++n)
        kept.append({n == 2 ? KeptFile::Why::Unchecked : KeptFile::Why::Changed,
                     QStringLiteral("/media/usb/ledgers/real.txt.kept-%1").arg(n),
                     QStringLiteral("/media/usb/ledgers"), "real.txt"});
    const BoxMessage box = Box::KeptLedgers(kept);
    EXPECT_TRUE(box.prompt.contains(
        QStringLiteral("In %1, to be renamed to real.txt")
            .arg(QDir::toNativeSeparators(QStringLiteral("/media/usb/ledgers")))));
    EXPECT_NE(
        box.prompt.section(QStringLiteral("kept-1: "), 1, 1).section(QLatin1Char('\n'), 0, 0),
        box.prompt.section(QStringLiteral("kept-2: "), 1, 1).section(QLatin1Char('\n'), 0, 0));
    EXPECT_FALSE(box.prompt.contains(QStringLiteral("kept-%1:").arg(Box::MaxKeptShown + 1)));
    EXPECT_TRUE(box.prompt.contains(QStringLiteral("And %1 more").arg(3000 - Box::MaxKeptShown)));

    QtRuntime runtime;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->screen()->availableGeometry().contains(shown->frameGeometry()));
        shown->done(QMessageBox::Ok);
    });
    runtime.MsgBox(box.prompt, box.style, box.title);
}

} // namespace
