#include "core/ledger_lines.h"
#include "support/expected_lines.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <limits>

namespace {
const QDate Day(2026, 12, 6);

struct LineCase {
    QString written;
    QString expected;
    int poundColumn; // 1-based
};

TEST(LedgerLines, ColumnsOfEachKindOfLine) {
    const LineCase cases[] = {
        {BalanceLine(Day, 125000), Expected("06/12/2026", 85, "#12.50"), 96},
        {BalanceLine(Day, -75000), Expected("06/12/2026", 85, "#-7.50"), 96},
        {BalanceLine(Day, -40), Expected("06/12/2026", 85, "#-0.00"), 96},
        {EntryLine(Day, Booking::Credit, 125000), Expected("06/12/2026", 50, "+#12.50"), 62},
        {EntryLine(Day, Booking::Debit, 200000), Expected("06/12/2026", 20, "-#20.00"), 32},
        {EntryLine(QDate(2027, 1, 9), Booking::Credit, 125000000000),
         Expected("09/01/2027", 50, "+#12500000.00"), 62},
        // Past 9999 the year takes its fifth digit, and the columns move up by one.
        {BalanceLine(QDate(10000, 1, 2), 125000), Expected("02/01/10000", 85, "#12.50"), 97},
    };
    for (const LineCase& c : cases) {
        EXPECT_EQ(c.written, c.expected);
        EXPECT_EQ(c.written.indexOf(PoundSign) + 1, c.poundColumn) << c.written.toStdString();
    }
}

// Every text the ledger can write, built from random dates and amounts.
QString RandomLedger(QRandomGenerator& random, int pairs) {
    QString text;
    for (int i = 0; i < pairs; ++i) {
        const QDate date = QDate(1, 1, 1).addDays(random.bounded(3652058));
        // Amounts of 1 to 8 typed characters, and balances anywhere in the money range.
        const Money amount =
            random.bounded(100000000) * MoneyUnitsPerOne / qint64(1 + random.bounded(10000));
        const Money balance = qint64(random.generate64());
        text = BalanceLine(date, balance) +
               EntryLine(date.addDays(1), random.bounded(2) ? Booking::Credit : Booking::Debit,
                         amount) +
               text;
    }
    return text;
}

TEST(LedgerLines, EveryWrittenLedgerIsRecognised) {
    QRandomGenerator random(9);
    EXPECT_TRUE(IsLedgerText(QString()));
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(IsLedgerText(RandomLedger(random, 1 + i % 7)));
    const QDate extremes[] = {QDate(1, 1, 1),          QDate(9999, 12, 31),     QDate(2028, 2, 29),
                              QDate(10000, 1, 2),      QDate(292278994, 8, 17), QDate(-1, 12, 31),
                              QDate(-292275056, 5, 16)};
    const Money values[] = {0, -1, -49, std::numeric_limits<Money>::min(),
                            std::numeric_limits<Money>::max()};
    for (const QDate& date : extremes)
        for (const Money value : values)
            EXPECT_TRUE(IsLedgerText(BalanceLine(date, value) +
                                     EntryLine(date, Booking::Debit, value < 0 ? 0 : value)));
}

struct NearMiss {
    const char* what;
    QString text;
};

TEST(LedgerLines, NearMissesAreRefused) {
    const QString balance = Expected("06/12/2026", 85, "#12.50");
    const QString credit = Expected("06/12/2026", 50, "+#12.50");
    const QString pair = balance + credit;
    QString noCr = pair;
    noCr.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QString crOnly = pair;
    crOnly.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    const NearMiss cases[] = {
        {"balance line alone", balance},
        {"three lines", pair + balance},
        {"entry before balance", credit + balance},
        {"two balance lines", balance + balance},
        {"LF alone", noCr},
        {"CR alone", crOnly},
        {"no line end at the end", pair.chopped(2)},
        {"CR without LF at the end", pair.chopped(1)},
        {"balance indent 86", Expected("06/12/2026", 86, "#12.50") + credit},
        {"balance indent 84", Expected("06/12/2026", 84, "#12.50") + credit},
        {"credit indent 51", balance + Expected("06/12/2026", 51, "+#12.50")},
        {"debit indent 19", balance + Expected("06/12/2026", 19, "-#12.50")},
        {"credit sign at the debit indent", balance + Expected("06/12/2026", 20, "+#12.50")},
        {"entry without sign", balance + Expected("06/12/2026", 50, "#12.50")},
        {"one decimal", balance + Expected("06/12/2026", 50, "+#12.5")},
        {"three decimals", balance + Expected("06/12/2026", 50, "+#12.500")},
        {"no integer digit", Expected("06/12/2026", 85, "#.50") + credit},
        {"comma decimal", Expected("06/12/2026", 85, "#12,50") + credit},
        {"day 32 month 13", Expected("32/13/2026", 85, "#12.50") + credit},
        {"29 February of a common year", Expected("29/02/2027", 85, "#12.50") + credit},
        {"day 00", balance + Expected("00/12/2026", 50, "+#12.50")},
        {"one-digit day", Expected("6/12/2026", 86, "#12.50") + credit},
        {"three-digit year", Expected("06/12/026", 86, "#12.50") + credit},
        {"five-digit year below 10000", Expected("06/12/02026", 84, "#12.50") + credit},
        {"year 0", Expected("06/12/0000", 85, "#12.50") + credit},
        {"year minus 0", Expected("06/12/-0000", 84, "#12.50") + credit},
        {"year with a plus", Expected("06/12/+2026", 84, "#12.50") + credit},
        {"tab for a space", QString(balance).replace(20, 1, QLatin1Char('\t')) + credit},
        {"garbage after a ledger", pair + QLatin1String("x")},
        {"marker-like byte", QStringLiteral("\x01")},
        {"garbage", QStringLiteral("k3#|~Qz\r\nPp0 0\r\n")},
    };
    for (const NearMiss& c : cases)
        EXPECT_FALSE(IsLedgerText(c.text)) << c.what;
    EXPECT_TRUE(IsLedgerText(pair)) << "the base of the near misses";
}

TEST(LedgerLines, RandomTextsAreRefused) {
    QRandomGenerator random(31);
    for (int i = 0; i < 2000; ++i) {
        QString text(1 + random.bounded(400), Qt::Uninitialized);
        for (QChar& c : text)
            c = QChar(char16_t(random.bounded(32, 256)));
        text += QLatin1String("\r\n");
        ASSERT_FALSE(IsLedgerText(text)) << text.toStdString();
    }
}
} // namespace
