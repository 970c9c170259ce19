#include "probe/report_lines.h"
#include "probe/value_text.h"
#include "probe/verdict.h"
#include "probe/wmi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace {
const std::wstring cpuPrefix = L"CPU\uFF1A";
const std::wstring memoryPrefix = L"\u5185\u5B58: ";

struct MemoryRow {
    const wchar_t* kilobytes;
    float gigabytes;
    const wchar_t* formatted;
    bool fails;
};

// The memory table: kilobytes, gigabytes, the number in the line, the rule.
const MemoryRow memoryTable[] = {
    {L"16777216", 16.0f, L"16", false},
    {L"16690000", 15.916824340820312f, L"16", false},
    {L"8300000", 7.915496826171875f, L"7.9", false},
    {L"4000000", 3.814697265625f, L"3.8", false},
    {L"3984588", 3.799999237060547f, L"3.8", true},
    {L"3984589", 3.8000001907348633f, L"3.8", false},
    {L"3145728", 3.0f, L"3", true},
    {L"0", 0.0f, L"0", true},
    {L"", 0.0f, L"0", true},
    {L"134000000", 127.7923583984375f, L"1.3e+002", false},
};
}

TEST(WmiQueryText, FormatsTheClassIntoAZeroFilledBuffer) {
    char query[wmiQueryCapacity];
    std::memset(query, 'x', sizeof query);
    ASSERT_TRUE(BuildWmiQueryText(query, "Win32_Processor"));
    EXPECT_STREQ(query, "SELECT * FROM Win32_Processor");
    for (std::size_t i = std::strlen(query); i < wmiQueryCapacity; ++i) ASSERT_EQ(query[i], 0);
}

TEST(WmiQueryText, CutsAnOverlongClassNameAtTheLastByte) {
    char query[wmiQueryCapacity];
    std::string fits(240, 'A');
    ASSERT_TRUE(BuildWmiQueryText(query, fits.c_str()));
    EXPECT_EQ(std::strlen(query), 254u);
    EXPECT_EQ(std::string(query + 14), fits);
    std::string tooLong = fits + "BC";
    ASSERT_TRUE(BuildWmiQueryText(query, tooLong.c_str()));
    EXPECT_EQ(std::strlen(query), 254u);
    EXPECT_EQ(query[253], 'A');
}

TEST(WmiQueryText, RefusesANullClassNameLeavingOnlyZeros) {
    char query[wmiQueryCapacity];
    std::memset(query, 'x', sizeof query);
    EXPECT_FALSE(BuildWmiQueryText(query, nullptr));
    for (char c : query) ASSERT_EQ(c, 0);
}

TEST(LeadingInteger, TakesSpaceSignAndDigitsUpToTheFirstOtherCharacter) {
    EXPECT_EQ(LeadingInt32(L"2096"), 2096);
    EXPECT_EQ(LeadingInt32(L" \t\n\v\f\r+42 MHz"), 42);
    EXPECT_EQ(LeadingInt32(L"-17abc"), -17);
    EXPECT_EQ(LeadingInt32(L"00000000000000000000001600"), 1600);
    EXPECT_EQ(LeadingInt32(L""), 0);
    EXPECT_EQ(LeadingInt32(L"MHz 2096"), 0);
    EXPECT_EQ(LeadingInt32(L"+-5"), 0);
    EXPECT_EQ(LeadingInt32(L"- 5"), 0);
    EXPECT_EQ(LeadingInt32(L"\u3000" L"5"), 0);           // ideographic space is not white space
    EXPECT_EQ(LeadingInt32(L"\uFF11\uFF16\uFF10\uFF10"), 0); // nor are full-width digits digits
    EXPECT_EQ(LeadingInt32(std::wstring(L"12\0" L"34", 5)), 12);
}

TEST(LeadingInteger, SaturatesOutOfRangeNumbersAtTheTypeLimits) {
    const int32_t max32 = std::numeric_limits<int32_t>::max();
    const int32_t min32 = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(LeadingInt32(L"2147483647"), max32);
    EXPECT_EQ(LeadingInt32(L"2147483648"), max32);
    EXPECT_EQ(LeadingInt32(L"3000000000"), max32);
    EXPECT_EQ(LeadingInt32(L"99999999999999999999999999"), max32);
    EXPECT_EQ(LeadingInt32(L"-2147483647"), min32 + 1);
    EXPECT_EQ(LeadingInt32(L"-2147483648"), min32);
    EXPECT_EQ(LeadingInt32(L"-2147483649"), min32);

    const int64_t max64 = std::numeric_limits<int64_t>::max();
    const int64_t min64 = std::numeric_limits<int64_t>::min();
    EXPECT_EQ(LeadingInt64(L"24683744"), 24683744);
    EXPECT_EQ(LeadingInt64(L"9223372036854775807"), max64);
    EXPECT_EQ(LeadingInt64(L"9223372036854775808"), max64);
    EXPECT_EQ(LeadingInt64(L"18446744073709551621"), max64);
    EXPECT_EQ(LeadingInt64(L"-9223372036854775808"), min64);
    EXPECT_EQ(LeadingInt64(L"-99999999999999999999"), min64);
    EXPECT_EQ(LeadingInt64(L"4294967301"), 4294967301);
}

TEST(MemoryRule, GivesTheTableGigabytesAndVerdicts) {
    for (const MemoryRow& row : memoryTable) {
        float gigabytes = MemoryGigabytes(row.kilobytes);
        EXPECT_EQ(gigabytes, row.gigabytes) << "KB " << row.kilobytes;
        EXPECT_EQ(MemoryFails(gigabytes), row.fails) << "KB " << row.kilobytes;
        EXPECT_EQ(FormatGigabytes(gigabytes), row.formatted) << "KB " << row.kilobytes;
    }
}

TEST(MemoryRule, TurnsANegativeCountIntoAVeryLargeOneThatPasses) {
    EXPECT_EQ(MemoryGigabytes(L"-1"), 17592186044416.0f);
    EXPECT_EQ(MemoryGigabytes(L"-99999999999999999999"), 8796093022208.0f);
    EXPECT_FALSE(MemoryFails(MemoryGigabytes(L"-4000")));
    EXPECT_EQ(BuildMemoryLine(MemoryGigabytes(L"-1")), memoryPrefix + L"1.8e+013G");
}

// The count goes to double first and only the product to single precision:
// 2^60 + 2^36 + 1 rounds to 2^60 + 2^36 in double, a tie that single
// precision breaks to 2^60 (straight to single it would round up).
TEST(MemoryRule, ConvertsTheCountThroughDoublePrecision) {
    EXPECT_EQ(MemoryGigabytes(L"1152921573326323713"), 1099511627776.0f);
}

TEST(MemoryFormat, SwitchesToExponentNotationOutsideMinus4To1) {
    EXPECT_EQ(FormatGigabytes(9.96f), L"10");
    EXPECT_EQ(FormatGigabytes(99.4f), L"99");
    EXPECT_EQ(FormatGigabytes(99.6f), L"1e+002");
    EXPECT_EQ(FormatGigabytes(0.25f), L"0.25");
    EXPECT_EQ(FormatGigabytes(0.0001f), L"0.0001");
    EXPECT_EQ(FormatGigabytes(0.00001f), L"1e-005");
    EXPECT_EQ(FormatGigabytes(0.000123f), L"0.00012");
    EXPECT_EQ(FormatGigabytes(3.4e38f), L"3.4e+038");
    EXPECT_EQ(FormatGigabytes(1.0e-40f), L"1e-040");
}

TEST(VersionRule, PassesOnlyVersionsAbove61) {
    EXPECT_FALSE(VersionAbove61(6, 1));
    EXPECT_FALSE(VersionAbove61(6, 0));
    EXPECT_FALSE(VersionAbove61(5, 1));
    EXPECT_FALSE(VersionAbove61(5, 9));
    EXPECT_TRUE(VersionAbove61(6, 2));
    EXPECT_TRUE(VersionAbove61(6, 3));
    EXPECT_TRUE(VersionAbove61(7, 0));
    EXPECT_TRUE(VersionAbove61(10, 0));
}

TEST(ValueText, WritesPlainSigned32BitDecimals) {
    EXPECT_EQ(DecimalText(0), L"0");
    EXPECT_EQ(DecimalText(-1), L"-1");
    EXPECT_EQ(DecimalText(2096), L"2096");
    EXPECT_EQ(DecimalText(std::numeric_limits<int32_t>::max()), L"2147483647");
    EXPECT_EQ(DecimalText(std::numeric_limits<int32_t>::min()), L"-2147483648");
    EXPECT_EQ(DecimalText(static_cast<int32_t>(3000000000u)), L"-1294967296");
}

TEST(ValueText, CutsUtf16AtTheFirstNulOrTheCount) {
    const char16_t embedded[] = u"Intel\0hidden";
    EXPECT_EQ(TextUpToFirstNul(embedded, 12), L"Intel");
    const char16_t unterminated[] = {u'a', u'b', u'c'};
    EXPECT_EQ(TextUpToFirstNul(unterminated, 2), L"ab");
    EXPECT_EQ(TextUpToFirstNul(unterminated, 0), L"");
    EXPECT_EQ(TextUpToFirstNul(nullptr, 5), L"");
    const char16_t chinese[] = u"\u5185\u5B58";
    EXPECT_EQ(TextUpToFirstNul(chinese, 2), L"\u5185\u5B58");
}

TEST(ValueText, JoinsSurrogatePairsAndKeepsUnpairedOnes) {
    const char16_t pair[] = {u'A', 0xD83D, 0xDE00, u'B'};
    EXPECT_EQ(TextUpToFirstNul(pair, 4), L"A\U0001F600B");
    const char16_t cutPair[] = {u'A', 0xD83D, 0xDE00};
    EXPECT_EQ(TextUpToFirstNul(cutPair, 2), (std::wstring{L'A', wchar_t(0xD83D)}));
    const char16_t unpaired[] = {0xDE00, 0xD83D, u'x'};
    EXPECT_EQ(TextUpToFirstNul(unpaired, 3),
              (std::wstring{wchar_t(0xDE00), wchar_t(0xD83D), L'x'}));
}

TEST(ReportLines, JoinThePiecesWithTheExactLiterals) {
    EXPECT_EQ(cpuPrefix.size(), 4u);
    EXPECT_EQ(BuildCpuLine(L"Intel(R) Core(TM)"), cpuPrefix + L"Intel(R) Core(TM)");
    EXPECT_EQ(BuildCpuLine(L""), cpuPrefix);
    EXPECT_EQ(BuildOsLine(L"Microsoft Windows 10 Pro", L"10.0.18362"),
              L"Microsoft Windows 10 Pro version : 10.0.18362");
    EXPECT_EQ(BuildOsLine(L"", L""), L" version : ");
    EXPECT_EQ(memoryPrefix.size(), 4u);
    EXPECT_EQ(BuildMemoryLine(16.0f), memoryPrefix + L"16G");
    EXPECT_EQ(BuildMemoryLine(127.7923583984375f), memoryPrefix + L"1.3e+002G");
}
