// The key rule over every 16-bit character code, for a field with an Enter action (the
// PIN fields) and one without (the amount field).
#include "core/key_filter.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

struct FieldKind {
    const char* name;
    bool hasEnterAction;
};

class FilterKeyOverEveryCode : public ::testing::TestWithParam<FieldKind> {};

std::set<int> CodesWith(KeyVerdict verdict, bool hasEnterAction) {
    std::set<int> codes;
    for (int code = 0; code <= 0xFFFF; ++code)
        if (FilterKey(code, hasEnterAction) == verdict) codes.insert(code);
    return codes;
}

TEST_P(FilterKeyOverEveryCode, DigitsEditingKeysAndFivePunctuationCodesPass) {
    // 8 backspace, 9 tab, 12 form feed; 37 38 39 40 46 are % & ' ( .
    const std::set<int> pass = {8,  9,  12, 37, 38, 39, 40, 46, 48,
                                49, 50, 51, 52, 53, 54, 55, 56, 57};
    EXPECT_EQ(CodesWith(KeyVerdict::Pass, GetParam().hasEnterAction), pass);
}

TEST_P(FilterKeyOverEveryCode, OnlyEnterRunsTheAction) {
    const std::set<int> enter = GetParam().hasEnterAction ? std::set<int>{13} : std::set<int>{};
    EXPECT_EQ(CodesWith(KeyVerdict::Enter, GetParam().hasEnterAction), enter);
}

TEST_P(FilterKeyOverEveryCode, EverythingElseIsDropped) {
    const auto dropped = CodesWith(KeyVerdict::Drop, GetParam().hasEnterAction);
    EXPECT_EQ(dropped.size(), 65536u - 18 - (GetParam().hasEnterAction ? 1 : 0));
    for (const int code : {0, 3, 22, 27, 32, 45, 65, 97, 127, 163, 0x20AC, 0xFFFF})
        EXPECT_TRUE(dropped.count(code)) << code;
    EXPECT_EQ(dropped.count(13), GetParam().hasEnterAction ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Fields, FilterKeyOverEveryCode,
                         ::testing::Values(FieldKind{"PinField", true},
                                           FieldKind{"AmountField", false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
