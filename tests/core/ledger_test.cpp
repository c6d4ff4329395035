#include "core/ledger.h"
#include "core/numbers.h"
#include "support/expected_lines.h"
#include "support/ledger_builder.h"

#include <gtest/gtest.h>
#include <vector>

namespace {
struct Step {
    Booking kind;
    const char* amount;
    QString balanceLine;
    QString entryLine;
};

QStringList Lines(const QString& text) {
    QStringList lines = text.split(QLatin1String("\r\n"));
    lines.removeLast(); // after the last CR LF
    for (QString& line : lines)
        line += QLatin1String("\r\n");
    return lines;
}

struct Sequence {
    const char* what;
    std::vector<Step> steps;
};

// Each step puts its two lines on top and leaves every older line as it was.
TEST(Ledger, BookingsPutTheirLinesOnTop) {
    const Sequence sequences[] = {
        {"worked example",
         {{Booking::Credit, "12.5", Expected("06/12/2026", 85, "#12.50"),
           Expected("06/12/2026", 50, "+#12.50")},
          {Booking::Debit, "20", Expected("06/12/2026", 85, "#-7.50"),
           Expected("06/12/2026", 20, "-#20.00")},
          {Booking::Credit, "7.5", Expected("06/12/2026", 85, "#0.00"),
           Expected("06/12/2026", 50, "+#7.50")}}},
        {"amounts rounded twice",
         {{Booking::Credit, "2.346", Expected("06/12/2026", 85, "#2.35"),
           Expected("06/12/2026", 50, "+#2.35")},
          {Booking::Debit, "2.346", Expected("06/12/2026", 85, "#0.00"),
           Expected("06/12/2026", 20, "-#2.35")}}},
        {"sub-penny amounts book the pence their entry shows",
         {{Booking::Credit, "10", Expected("06/12/2026", 85, "#10.00"),
           Expected("06/12/2026", 50, "+#10.00")},
          {Booking::Debit, "0.005", Expected("06/12/2026", 85, "#9.99"),
           Expected("06/12/2026", 20, "-#0.01")},
          {Booking::Debit, "0.005", Expected("06/12/2026", 85, "#9.98"),
           Expected("06/12/2026", 20, "-#0.01")},
          {Booking::Debit, "2.354", Expected("06/12/2026", 85, "#7.63"),
           Expected("06/12/2026", 20, "-#2.35")}}},
        {"large amount, no grouping",
         {{Booking::Credit, "12500000", Expected("06/12/2026", 85, "#12500000.00"),
           Expected("06/12/2026", 50, "+#12500000.00")}}},
        {"first debit",
         {{Booking::Debit, "5", Expected("06/12/2026", 85, "#-5.00"),
           Expected("06/12/2026", 20, "-#5.00")}}},
        {"the characters the field lets through",
         {{Booking::Credit, "5(%", Expected("06/12/2026", 85, "#5.00"),
           Expected("06/12/2026", 50, "+#5.00")}}},
    };
    for (const Sequence& sequence : sequences) {
        Ledger ledger;
        QStringList expected;
        for (const Step& step : sequence.steps) {
            const BookingOutcome outcome =
                ledger.Book(step.kind, QLatin1String(step.amount), FixedDay);
            ASSERT_EQ(outcome.result, BookingResult::Booked) << sequence.what;
            EXPECT_EQ(outcome.lines, step.balanceLine + step.entryLine) << sequence.what;
            expected.prepend(step.entryLine);
            expected.prepend(step.balanceLine);
        }
        EXPECT_EQ(Lines(ledger.Text()), expected) << sequence.what;
        EXPECT_TRUE(IsLedgerText(ledger.Text())) << sequence.what;
    }
}

TEST(Ledger, TheBalanceIsReadBackWithItsSign) {
    Ledger ledger;
    ledger.Book(Booking::Credit, QStringLiteral("12.5"), FixedDay);
    // After one booking: the balance digits, the line end, and the entry line.
    EXPECT_EQ(ledger.ReadBalance(),
              QLatin1String("12.50\r\n") + Expected("06/12/2026", 50, "+#12.50"));
    const BookingOutcome debit = ledger.Book(Booking::Debit, QStringLiteral("20"), FixedDay);
    EXPECT_EQ(Val(*ledger.ReadBalance()), -7.5);
    EXPECT_EQ(debit.amount, 200000);
    EXPECT_EQ(debit.balance, -75000);
}

struct BalanceCase {
    const char* what;
    QString text;
    QString balance;
};

TEST(Ledger, ReadBalanceTakesWhatFollowsTheFirstPoundSign) {
    const QString entries =
        Expected("01/01/2026", 20, "-#3.00") + Expected("01/01/2026", 50, "+#9.00");
    const BalanceCase cases[] = {
        {"first pound sign on an entry line", entries, entries.mid(32)},
        {"no pound sign reads as no balance", QStringLiteral("no money here\r\n"), QString()},
        {"no pound sign on a new ledger", QString(), QString()},
        {"pound sign last", QStringLiteral(u"abc\u00A3"), QString()},
    };
    for (const BalanceCase& c : cases) {
        Ledger ledger;
        ledger.SetText(c.text);
        EXPECT_EQ(ledger.ReadBalance(), c.balance) << c.what;
    }
}

TEST(Ledger, PositionsBeyondSixteenBitsOverflow) {
    Ledger ledger;
    ledger.SetText(QString(32767, QLatin1Char(' ')) + PoundSign);
    EXPECT_FALSE(ledger.ReadBalance());
    ledger.SetText(QString(32767, QLatin1Char(' ')));
    EXPECT_FALSE(ledger.ReadBalance()) << "the scan passes 32,767";
    ledger.SetText(QString(32766, QLatin1Char(' ')) + PoundSign);
    ASSERT_TRUE(ledger.ReadBalance()) << "the sign at position 32,767 is read";
    EXPECT_TRUE(ledger.ReadBalance()->isEmpty());
}

TEST(Ledger, RefusedBookingsLeaveTheTextAsItWas) {
    const QString huge =
        Expected("06/12/2026", 85, "#922337203685477.00") + Expected("06/12/2026", 50, "+#1.00");
    const struct {
        const char* what;
        QString text;
        const char* amount;
        BookingResult result;
    } cases[] = {
        {"zero", QString(), "0.00", BookingResult::ZeroAmount},
        {"no number", QString(), "(5", BookingResult::ZeroAmount},
        {"balance out of the money range", huge, "99999999", BookingResult::Overflow},
        {"text too long to read", QString(32768, QLatin1Char(' ')), "1", BookingResult::Overflow},
        {"text too long to store",
         QString(MaxLedgerLength - FirstCreditLength(MoneyUnitsPerOne) + 1, QLatin1Char(' ')), "1",
         BookingResult::TooLong},
    };
    for (const auto& c : cases) {
        Ledger ledger;
        ledger.SetText(c.text);
        const BookingOutcome outcome =
            ledger.Book(Booking::Credit, QLatin1String(c.amount), FixedDay);
        EXPECT_EQ(outcome.result, c.result) << c.what;
        EXPECT_EQ(ledger.Text(), c.text) << c.what;
    }
}

TEST(Ledger, EachLineIsDatedWhenItIsBuilt) {
    QDate day(2026, 12, 31);
    const auto midnight = [&day] {
        const QDate today = day;
        day = day.addDays(1);
        return today;
    };
    Ledger ledger;
    ledger.Book(Booking::Debit, QStringLiteral("3"), midnight);
    EXPECT_EQ(ledger.Text(),
              Expected("31/12/2026", 85, "#-3.00") + Expected("01/01/2027", 20, "-#3.00"));
}
} // namespace
