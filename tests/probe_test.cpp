#include "probe/probe_lines.h"
#include "probe/readings.h"
#include "probe/value_text.h"
#include "probe/wmi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

TEST(LeadingInteger, TakesSpaceSignAndDigitsAndSaturatesAtTheTypeLimits) {
    const int64_t max32 = std::numeric_limits<int32_t>::max();
    const int64_t min32 = -max32 - 1;
    const int64_t max64 = std::numeric_limits<int64_t>::max();
    const int64_t min64 = -max64 - 1;
    const struct { const wchar_t* text; int64_t as32, as64; } cases[] = {
        {L" \t\n\v\f\r+42 MHz", 42, 42}, {L"-17abc", -17, -17},
        {L"00000000000000000000001600", 1600, 1600}, {L"", 0, 0}, {L"+-5", 0, 0},
        {L"- 5", 0, 0}, {L"/9", 0, 0}, {L":9", 0, 0},
        {L"\x08" L"5", 0, 0}, {L"\x0E" L"5", 0, 0},  // just below tab, just above carriage return
        {L"\u3000" L"5", 0, 0}, {L"\uFF11\uFF16", 0, 0},  // no ideographic space, no full-width digits
        {L"2147483647", max32, max32}, {L"2147483640", 2147483640, 2147483640},
        {L"2147483648", max32, 2147483648},
        {L"-2147483648", min32, min32}, {L"-2147483649", min32, -2147483649},
        {L"9223372036854775807", max32, max64}, {L"9223372036854775808", max32, max64},
        {L"-9223372036854775808", min32, min64},
        {L"-99999999999999999999", min32, min64},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LeadingInt32(c.text), c.as32) << c.text;
        EXPECT_EQ(LeadingInt64(c.text), c.as64) << c.text;
    }
    EXPECT_EQ(LeadingInt32(std::wstring(L"12\0" L"34", 5)), 12);
}

// The rule's boundary, 3.8 G, lies between 3984588 and 3984589 kilobytes.
TEST(MemoryLine, GivesTheGigabytesAndTheirText) {
    const struct { const wchar_t* kilobytes; float gigabytes; const wchar_t* shown; } rows[] = {
        {L"16777216", 16.0f, L"16"}, {L"8300000", 7.915496826171875f, L"7.9"},
        {L"3984588", 3.799999237060547f, L"3.8"}, {L"3984589", 3.8000001907348633f, L"3.8"},
        {L"", 0.0f, L"0"}, {L"134000000", 127.7923583984375f, L"1.3e+002"},
        {L"-1", 17592186044416.0f, L"1.8e+013"},  // a very large unsigned count
        // 2^60 + 2^36 + 1 goes through double to 2^60 + 2^36, a tie that
        // single precision breaks to 2^60 (straight to single it rounds up).
        {L"1152921573326323713", 1099511627776.0f, L"1.1e+012"},
    };
    for (const auto& row : rows) {
        float gigabytes = MemoryGigabytes(row.kilobytes);
        EXPECT_EQ(gigabytes, row.gigabytes) << row.kilobytes;
        EXPECT_EQ(BuildMemoryLine(gigabytes), L"\u5185\u5B58: " + std::wstring(row.shown) + L"G");
    }
    const struct { float gigabytes; const wchar_t* shown; } formats[] = {
        {9.96f, L"10"}, {99.6f, L"1e+002"}, {0.0001f, L"0.0001"}, {0.00001f, L"1e-005"},
        {0.000123f, L"0.00012"}, {3.4e38f, L"3.4e+038"}, {1e-40f, L"1e-040"}, {-2.5f, L"-2.5"}};
    for (const auto& f : formats) EXPECT_EQ(FormatGigabytes(f.gigabytes), f.shown) << f.gigabytes;
}

TEST(ValueText, WritesDecimalsAndCutsUtf16AtTheFirstNulOrTheCount) {
    const std::pair<int32_t, const wchar_t*> decimals[] = {
        {0, L"0"}, {2147483647, L"2147483647"}, {-2147483647 - 1, L"-2147483648"}};
    for (auto [value, text] : decimals) EXPECT_EQ(DecimalText(value), text);
    const char16_t embedded[] = u"Intel\0hidden";
    EXPECT_EQ(TextUpToFirstNul(embedded, 12), L"Intel");
    EXPECT_EQ(TextUpToFirstNul(embedded, 2), L"In");
    EXPECT_EQ(TextUpToFirstNul(embedded, 0), L"");
    EXPECT_EQ(TextUpToFirstNul(nullptr, 5), L"");
    EXPECT_EQ(TextUpToFirstNul(u"\u5185\u5B58", 2), L"\u5185\u5B58");
    // Pairs are joined where a wide character holds them; unpaired units stay.
    const char16_t pairs[] = {u'A', 0xD83D, 0xDE00, 0xDBFF, 0xDFFF, 0xDE00, 0xD800, u'x', 0xD83D};
    const std::wstring joined = sizeof(wchar_t) == 4
        ? std::wstring{L'A', wchar_t(0x1F600), wchar_t(0x10FFFF), wchar_t(0xDE00), wchar_t(0xD800), L'x', wchar_t(0xD83D)}
        : std::wstring(pairs, pairs + 9);
    EXPECT_EQ(TextUpToFirstNul(pairs, 9), joined);
    EXPECT_EQ(TextUpToFirstNul(pairs, 2), (std::wstring{L'A', wchar_t(0xD83D)}));
}

// RPC_E_TOO_LATE: something in the process set security first.
TEST(Wmi, SecuritySetBeforeCountsAsInPlace) {
    EXPECT_TRUE(SecurityInPlace(0));
    EXPECT_TRUE(SecurityInPlace(1));
    EXPECT_TRUE(SecurityInPlace(rpcTooLate));
    EXPECT_FALSE(SecurityInPlace(static_cast<HResult>(0x80004005u)));  // E_FAIL
}

TEST(Wmi, TheQueryAsksForEveryInstanceOfTheClassWithinItsBuffer) {
    char query[wmiQueryCapacity];
    EXPECT_TRUE(BuildWmiQueryText(query, "Win32_Processor"));
    EXPECT_STREQ(query, "SELECT * FROM Win32_Processor");
    const std::string longName(300, 'c');
    EXPECT_TRUE(BuildWmiQueryText(query, longName.c_str()));
    EXPECT_EQ(std::strlen(query), 254u);  // cut in its 255 bytes, the terminator kept
    EXPECT_EQ(std::string(query).substr(0, 14), "SELECT * FROM ");
    EXPECT_FALSE(BuildWmiQueryText(query, nullptr));
    EXPECT_EQ(query[0], '\0');
}

// A string property is kept to its first NUL, and to a bound however long it
// is.
TEST(Wmi, ATextValueStopsAtItsNulOrItsBound) {
    const std::u16string units(u"GTX\0hidden", 10);
    EXPECT_EQ(WmiTextValue(units.data(), 10).text, L"GTX");
    EXPECT_EQ(WmiTextValue(units.data(), 10).kind, WmiValue::Kind::Text);
    const std::u16string longText(5000, u'n');
    EXPECT_EQ(WmiTextValue(longText.data(), longText.size()).text.size(), wmiTextLimit);
}
