// The ledger file's format: what a close writes opens again under the same PIN exactly as it
// was, and under no other; what is not a ledger file of that PIN is refused.
#include "core/ledger_file_format.h"
#include "core/ledger_lines.h"
#include "core/win1252.h"

#include "support/ledger_builder.h"

#include <gtest/gtest.h>

namespace {

// Credit 12.50, then debit 20.00.
QString TwoBookings() {
    const QDate day = FixedDay();
    return BalanceLine(day, -75000) + EntryLine(day, Booking::Debit, 200000) +
           BalanceLine(day, 125000) + EntryLine(day, Booking::Credit, 125000);
}

// Bookings of every date and size on top of each other until the next pair would pass the
// longest ledger text that can be stored and read back.
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

QByteArray Stored(const char* pin, const QString& ledger) {
    Cipher cipher;
    return EncodeLedgerFile(cipher, MakePin(QLatin1String(pin)), ledger);
}

DecodedLedger Opened(const char* pin, const QByteArray& file) {
    Cipher cipher;
    return DecodeLedgerFile(cipher, MakePin(QLatin1String(pin)), file);
}

// The file that deciphers under pin to text: the transform undoes itself.
QByteArray Deciphering(const char* pin, QString text) {
    Cipher cipher;
    cipher.SetRotorsFromPin(MakePin(QLatin1String(pin)), text);
    return ToWin1252(text);
}

TEST(LedgerFileFormat, WhatIsStoredOpensAgainExactlyUnderItsPin) {
    const QDate day = FixedDay();
    const QString ledgers[] = {
        {},
        TwoBookings(),
        BalanceLine(day, -40) + EntryLine(day, Booking::Debit, 23500), // balance "£-0.00"
        BalanceLine(day, -40) + EntryLine(day, Booking::Debit, 23540) + BalanceLine(day, 23500) +
            EntryLine(day, Booking::Credit, 23500),
        BalanceLine(QDate(1, 1, 1), 1899999998100) +
            EntryLine(QDate(9999, 12, 31), Booking::Credit, 999999990000),
        FullLedger(),
    };
    for (const QString& ledger : ledgers) {
        for (const char* pin : {"0000", "4711", "9999"}) {
            const QByteArray file = Stored(pin, ledger);
            EXPECT_EQ(file.size(), ledger.size() + 3) << pin << ": the marker, then CR LF";
            EXPECT_TRUE(file.endsWith("\r\n")) << pin;
            EXPECT_EQ(EncipheredText(file).size(), ledger.size() + 1) << pin;
            const DecodedLedger opened = Opened(pin, file);
            EXPECT_EQ(opened.status, DecodedLedger::Status::Ledger) << pin;
            EXPECT_EQ(opened.ledger, ledger) << pin;
        }
    }
    EXPECT_EQ(EncodePlainCopy(QStringLiteral("£12.50\r\n")), "\xA3"
                                                             "12.50\r\n\r\n");
}

// The marker alone lets about one wrong PIN in a hundred through with a garbled text.
TEST(LedgerFileFormat, EveryWrongPinIsRefusedEvenWhenItDeciphersTheMarker) {
    const QByteArray file = Stored("4711", TwoBookings());
    int markerMatches = 0;
    Cipher cipher;
    for (int n = 0; n < 10000; ++n) {
        const QString pin = QString::asprintf("%04d", n);
        if (pin == QLatin1String("4711")) continue;
        QString text = FromWin1252(file);
        cipher.SetRotorsFromPin(MakePin(pin), text);
        markerMatches += text.front() == UnlockMarker;
        ASSERT_EQ(DecodeLedgerFile(cipher, MakePin(pin), file).status,
                  DecodedLedger::Status::WrongPin)
            << pin.toStdString();
    }
    EXPECT_GT(markerMatches, 0);
}

TEST(LedgerFileFormat, WhatIsNotALedgerFileIsRefused) {
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
        m + BalanceLine(FixedDay(), 0) + QStringLiteral("\r\n"),            // half a pair
        m + ledger + ledger.left(5) + QStringLiteral("\r\n"),
        m + QStringLiteral("garbled text that is no ledger\r\n\r\n"),
    };
    for (const QString& text : refused)
        EXPECT_EQ(Opened("2468", Deciphering("2468", text)).status, DecodedLedger::Status::WrongPin)
            << text.toStdString();
    EXPECT_EQ(Opened("2468", QByteArray(MaxLedgerFileLength + 1, 'x')).status,
              DecodedLedger::Status::TooLong);
    EXPECT_EQ(Opened("2468", {}).status, DecodedLedger::Status::Ledger) << "a new ledger";
}

} // namespace
