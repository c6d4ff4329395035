// Money, numbers, dates and file text: the values the ledger and its file rely on.
#include "core/dates.h"
#include "core/money.h"
#include "core/numbers.h"
#include "core/win1252.h"

#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

struct FromDouble {
    double value;
    Money units;
};

// Ties are judged on the double product: 0.00015 x 10,000 is just under 1.5.
TEST(Money, FromDoubleRoundsTheProductHalfToEven) {
    const FromDouble cases[] = {{0.00005, 0},   {0.00025, 2},   {0.00035, 4},   {0.00015, 1},
                                {-0.00025, -2}, {12.5, 125000}, {-7.5, -75000}, {0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(MoneyFromDouble(c.value), c.units) << c.value;
}

TEST(Money, OutOfRangeIsNoValue) {
    for (const double value : {1e15, -1e15, std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(MoneyFromDouble(value)) << value;
    EXPECT_TRUE(MoneyFromDouble(9e14));
}

struct Formatted {
    Money units;
    const char* text;
};

TEST(Money, FormatsTwoDecimalsHalfAwayFromZero) {
    const Formatted cases[] = {
        {23450, "2.35"},
        {-23450, "-2.35"},
        {125000000000, "12500000.00"},
        {-75000, "-7.50"},
        {-40, "-0.00"},
        {0, "0.00"},
        {49, "0.00"},
        {50, "0.01"},
        {std::numeric_limits<Money>::min(), "-922337203685477.58"},
        {std::numeric_limits<Money>::max(), "922337203685477.58"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatMoney(c.units), QLatin1String(c.text)) << c.units;
}

struct Read {
    const char* text;
    double value;
};

TEST(Numbers, ValReadsTheLeadingNumber) {
    const Read cases[] = {
        {"12.50\r\n01/01/2026", 12.5},
        {"-7.50\r\n01/01/2026", -7.5},
        {"(5", 0},
        {"'5", 0},
        {".", 0},
        {"", 0},
        {"1.2.3", 1.2},
        {".5", 0.5},
        {"-", 0},
        {"0.1", 0.1},
        {"12500000.00 Balance", 12500000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Val(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(Numbers, ValIgnoresTheUserLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(Val(QStringLiteral("2.5")), 2.5);
    QLocale::setDefault(saved);
}

TEST(Dates, DayMonthYearWhateverTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FormatDate(QDate(2026, 1, 5)), QStringLiteral("05/01/2026"));
    EXPECT_EQ(FormatDate(QDate(999, 12, 31)), QStringLiteral("31/12/0999"));
    EXPECT_EQ(FormatDate(QDate(10000, 1, 2)), QStringLiteral("02/01/10000"));
    EXPECT_EQ(FormatDate(QDate(-44, 3, 15)), QStringLiteral("15/03/-0044"));
    QLocale::setDefault(saved);
}

TEST(Win1252, EveryByteRoundTrips) {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    const QString text = FromWin1252(bytes);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(ToWin1252(text), bytes);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(Win1252Code(text[b]), b) << b;
}

TEST(Win1252, PoundAndEuroSigns) {
    EXPECT_EQ(Win1252Code(QChar(u'£')), 163);
    EXPECT_EQ(FromWin1252(QByteArray(1, char(163))), QStringLiteral("£"));
    EXPECT_EQ(ToWin1252(QStringLiteral("£1.00")), QByteArray("\xA3"
                                                             "1.00"));
    EXPECT_EQ(FromWin1252(QByteArray(1, char(0x80))), QString(QChar(0x20AC)));
}

TEST(Win1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Win1252Code(QChar(0x0100)), -1);
    EXPECT_EQ(ToWin1252(QString(QChar(0x0100)) + QChar(0x4E2D)), QByteArray("??"));
}

} // namespace
