#include "core/win1252.h"

#include <array>

namespace {
// 0x80..0x9F; the five unassigned bytes map to the C1 controls of the same value, so
// that every byte survives a round trip.
constexpr std::array<char16_t, 32> High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

int Win1252Code(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    for (int i = 0; i < int(High.size()); ++i)
        if (High[i] == u) return 0x80 + i;
    return -1;
}

QString FromWin1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char b : bytes) {
        const auto code = static_cast<unsigned char>(b);
        *out++ = QChar(code >= 0x80 && code < 0xA0 ? High[code - 0x80] : char16_t(code));
    }
    return text;
}

QByteArray ToWin1252(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar c : text) {
        const int code = Win1252Code(c);
        *out++ = static_cast<char>(code < 0 ? '?' : code);
    }
    return bytes;
}
