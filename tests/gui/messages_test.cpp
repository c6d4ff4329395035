// The boxes the catalogue gives for what the core reports: the exact texts, styles and
// titles the user is shown.
#include "gui/messages.h"

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

TEST(Messages, FileFailuresSayWhereAndWhy) {
    const FileError diskFull{FileError::Kind::System, QStringLiteral("No space left on device")};
    const BoxMessage box = Box::LedgerNotSaved(QStringLiteral("/home/me/QcEcV3.1.Txt"), diskFull);
    EXPECT_TRUE(box.prompt.startsWith(
        QStringLiteral("The ledger could not be saved to /home/me/QcEcV3.1.Txt: No space left")));
    for (const auto kind :
         {FileError::Kind::Folder, FileError::Kind::NotRegular, FileError::Kind::ForeignLink})
        EXPECT_FALSE(Box::Why({kind, {}}).isEmpty());
}

} // namespace
