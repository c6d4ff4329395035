#include "core/cipher.h"
#include "core/ledger_lines.h"
#include "core/unlock_check.h"

#include "support/ledger_builder.h"

#include <gtest/gtest.h>

namespace {

const QDate Day(2026, 12, 6);

// Credit 12.50, then debit 20.00.
QString TwoBookings() {
    return BalanceLine(Day, -75000) + EntryLine(Day, Booking::Debit, 200000) +
           BalanceLine(Day, 125000) + EntryLine(Day, Booking::Credit, 125000);
}

// Bookings on top of each other until the next pair would pass the longest ledger text that
// can be stored and read back.
QString FullLedger() {
    QString text;
    for (int i = 0;; ++i) {
        const QDate date = QDate(2000, 1, 1).addDays(i * 17);
        const QString pair = BalanceLine(date, Money(i) * 1234567 - 999999999) +
                             EntryLine(date, i % 2 ? Booking::Debit : Booking::Credit,
                                       Money(i % 99999999) * MoneyUnitsPerOne + 9900);
        if (text.size() + pair.size() > MaxLedgerLength) return text;
        text = pair + text;
    }
}

// What the ledger file holds after a close under pin, as the open sequence reads it back.
QString Stored(const QString& pin, const QString& ledger) {
    Cipher cipher;
    QString text = UnlockMarker + ledger;
    EXPECT_EQ(cipher.SetRotorsFromPin(MakePin(pin), text), CipherResult::Transformed);
    return text + QStringLiteral("\r\n");
}

struct Opened {
    UnlockResult result;
    QString text;
};

Opened Open(const QString& pin, const QString& file) {
    Cipher cipher;
    QString text = file;
    EXPECT_EQ(cipher.SetRotorsFromPin(MakePin(pin), text), CipherResult::Transformed);
    const UnlockResult result = CheckUnlockMarker(text);
    return {result, text};
}

TEST(UnlockCheck, TheRightPinGivesBackExactlyTheLedgerThatWasStored) {
    const QString ledgers[] = {
        TwoBookings(),
        BalanceLine(Day, -40) + EntryLine(Day, Booking::Debit, 23500), // balance "£-0.00"
        BalanceLine(QDate(1, 1, 1), 1899999998100) +
            EntryLine(QDate(9999, 12, 31), Booking::Credit, 999999990000),
        FullLedger(),
    };
    for (const QString& ledger : ledgers) {
        for (const char* pin : {"0000", "4711", "9999"}) {
            const Opened opened = Open(QLatin1String(pin), Stored(QLatin1String(pin), ledger));
            EXPECT_EQ(opened.result, UnlockResult::Unlocked) << pin;
            EXPECT_EQ(opened.text, ledger) << pin;
        }
    }
}

TEST(UnlockCheck, ALedgerWithANegativeZeroBalanceOpens) {
    const QString ledger = BalanceLine(Day, -40) + EntryLine(Day, Booking::Debit, 23540) +
                           BalanceLine(Day, 23500) + EntryLine(Day, Booking::Credit, 23500);
    ASSERT_TRUE(ledger.contains(QStringLiteral("£-0.00\r\n")));
    const Opened opened = Open(QStringLiteral("2468"), Stored(QStringLiteral("2468"), ledger));
    EXPECT_EQ(opened.result, UnlockResult::Unlocked);
    EXPECT_EQ(opened.text, ledger);
}

// The marker alone lets about one wrong PIN in a hundred through with a garbled text.
TEST(UnlockCheck, EveryWrongPinIsRefusedEvenWhenItDeciphersTheMarker) {
    const QString file = Stored(QStringLiteral("4711"), TwoBookings());
    int markerMatches = 0;
    for (int n = 0; n < 10000; ++n) {
        const QString pin = QString::asprintf("%04d", n);
        if (pin == QLatin1String("4711")) continue;
        Cipher cipher;
        QString text = file;
        cipher.SetRotorsFromPin(MakePin(pin), text);
        const QString deciphered = text;
        markerMatches += text.front() == UnlockMarker;
        ASSERT_EQ(CheckUnlockMarker(text), UnlockResult::WrongPin) << pin.toStdString();
        ASSERT_EQ(text, deciphered);
    }
    EXPECT_GT(markerMatches, 0);
}

TEST(UnlockCheck, AnEmptyTextIsANewLedger) {
    QString text;
    EXPECT_EQ(CheckUnlockMarker(text), UnlockResult::Unlocked);
    EXPECT_TRUE(text.isEmpty());
}

TEST(UnlockCheck, TheMarkerAndTheFileLineEndGiveTheEmptyLedger) {
    QString text = UnlockMarker + QStringLiteral("\r\n");
    EXPECT_EQ(CheckUnlockMarker(text), UnlockResult::Unlocked);
    EXPECT_TRUE(text.isEmpty());
}

TEST(UnlockCheck, DamagedOrForeignTextsAreRefusedAndLeftAsTheyWere) {
    const QString m(UnlockMarker);
    const QString ledger = TwoBookings();
    const QString refused[] = {
        m,
        m + u'\r',
        m + u'\n',
        m + u'A',
        QStringLiteral("A\r\n"),
        QStringLiteral("A") + ledger + QStringLiteral("\r\n"), // another first character
        m + ledger,                                            // the file's line end lost
        m + ledger + QStringLiteral("\n"),
        m + ledger.left(ledger.size() - 1) + QStringLiteral("\r\n"),
        m + ledger.mid(ledger.indexOf(u'\n') + 1) + QStringLiteral("\r\n"), // entry line first
        m + BalanceLine(Day, 0) + QStringLiteral("\r\n"),                   // half a pair
        m + ledger + ledger.left(5) + QStringLiteral("\r\n"),
        m + QStringLiteral("garbled text that is no ledger\r\n\r\n"),
    };
    for (const QString& original : refused) {
        QString text = original;
        EXPECT_EQ(CheckUnlockMarker(text), UnlockResult::WrongPin) << original.toStdString();
        EXPECT_EQ(text, original);
    }
}

TEST(UnlockCheck, TheFullestLedgerStillFitsTheTransformWhenReadBack) {
    const QString ledger = FullLedger();
    const QString file = Stored(QStringLiteral("1357"), ledger);
    EXPECT_LE(file.size(), Cipher::MaxTextLength);
    EXPECT_EQ(file.size(), ledger.size() + 3);
}

} // namespace
