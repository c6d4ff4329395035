// The numeric value of any text, as amounts and balances are read, and the money text
// made from it.
#include "core/money.h"
#include "core/numbers.h"
#include "core/win1252.h"
#include "expect.h"

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        FromWin1252(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    const double value = Val(text);
    Expect(!std::isnan(value), "Val gives a number");
    if (const auto money = MoneyFromDouble(value)) {
        // Shown to the cent and read back, the value may move by half a cent at most, plus
        // what a double loses on the way.
        const double back = Val(FormatMoney(*money)) * MoneyUnitsPerOne;
        Expect(std::abs(back - double(*money)) <= 50 + std::abs(double(*money)) * 1e-15,
               "FormatMoney shows the value to the nearest cent");
    }
    return 0;
}
