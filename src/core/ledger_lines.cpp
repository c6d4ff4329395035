#include "core/ledger_lines.h"

#include "core/dates.h"

namespace {
// What follows the date on a line; the writers and the reader below share these.
struct LineShape {
    int indent;
    char16_t sign; // before the pound sign; 0 for none
};

constexpr LineShape BalanceShape{85, 0};
constexpr LineShape DebitShape{20, u'-'};
constexpr LineShape CreditShape{50, u'+'};

const LineShape& EntryShape(Booking kind) {
    return kind == Booking::Credit ? CreditShape : DebitShape;
}

QString WriteLine(const QDate& date, const LineShape& shape, Money value) {
    QString line = FormatDate(date);
    line += QString(shape.indent, QLatin1Char(' '));
    if (shape.sign) line += QChar(shape.sign);
    line += PoundSign;
    line += FormatMoney(value);
    line += QLatin1String("\r\n");
    return line;
}

// Walks a text one expected piece at a time.
class Reader {
  public:
    explicit Reader(QStringView text) : text(text) {}

    bool AtEnd() const { return pos == text.size(); }
    qsizetype Pos() const { return pos; }
    void Seek(qsizetype position) { pos = position; }

    bool Take(QChar c) {
        if (pos == text.size() || text[pos] != c) return false;
        ++pos;
        return true;
    }

    bool TakeRun(QChar c, int count) {
        for (int i = 0; i < count; ++i)
            if (!Take(c)) return false;
        return true;
    }

    // Exactly `count` digits, as a number.
    bool TakeNumber(int count, int& number) {
        number = 0;
        for (int i = 0; i < count; ++i) {
            if (pos == text.size() || !IsDigit(text[pos])) return false;
            number = number * 10 + (text[pos++].unicode() - '0');
        }
        return true;
    }

    // A date as the ledger writes them.
    bool TakeDate() {
        const qsizetype length = DateLength(text.sliced(pos));
        pos += length;
        return length > 0;
    }

    // One digit or more.
    bool TakeDigits() {
        const qsizetype start = pos;
        while (pos < text.size() && IsDigit(text[pos]))
            ++pos;
        return pos > start;
    }

  private:
    static bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

    QStringView text;
    qsizetype pos = 0;
};

// A money value in its "0.00" form, sign included.
bool ReadValue(Reader& reader) {
    int cents = 0;
    reader.Take(QLatin1Char('-'));
    return reader.TakeDigits() && reader.Take(QLatin1Char('.')) && reader.TakeNumber(2, cents);
}

// On a mismatch the reader goes back to the start of the line, ready for another shape.
bool ReadLine(Reader& reader, const LineShape& shape) {
    const qsizetype start = reader.Pos();
    const bool ok = reader.TakeDate() && reader.TakeRun(QLatin1Char(' '), shape.indent) &&
                    (!shape.sign || reader.Take(QChar(shape.sign))) && reader.Take(PoundSign) &&
                    ReadValue(reader) && reader.Take(QLatin1Char('\r')) &&
                    reader.Take(QLatin1Char('\n'));
    if (!ok) reader.Seek(start);
    return ok;
}
} // namespace

QString BalanceLine(const QDate& date, Money balance) {
    return WriteLine(date, BalanceShape, balance);
}

QString EntryLine(const QDate& date, Booking kind, Money amount) {
    return WriteLine(date, EntryShape(kind), amount);
}

bool IsLedgerText(QStringView text) {
    Reader reader(text);
    while (!reader.AtEnd()) {
        if (!ReadLine(reader, BalanceShape)) return false;
        if (!ReadLine(reader, DebitShape) && !ReadLine(reader, CreditShape)) return false;
    }
    return true;
}
