// Numbers read from text, rounding, and numbers written as text.

#include "support/VbErrors.h"

#include "common/Vb.h"

using namespace vb;

TEST(VbVal, ReadsTheLeadingNumber)
{
    struct Case {
        const char* text;
        double expected;
    } const cases[] = {
        {"  12.5e1x", 125},
        {"2457", 2457},
        {" 2 45 7", 2457},                // blanks inside the number are passed over
        {"24 and 57", 24},
        {"1615 198th Street N.E.", 1615198},
        {"\t\n 7", 7},
        {"1.2.3", 1.2},
        {"", 0},
        {"-", 0},
        {".", 0},
        {"abc", 0},
        {"$5", 0},
        {"--5", 0},
        {"+5", 5},
        {"-5", -5},
        {"- 5", -5},
        {".5", 0.5},
        {"-.5", -0.5},
        {"5.", 5},
        {"12,345", 12},
        {"1d2", 100},                     // D exponent
        {"1E3", 1000},
        {"1e-2", 0.01},
        {"2.5E+2x", 250},
        {"1e", 1},                        // an exponent without digits is not read
        {"1e+", 1},
        {"25200.0000", 25200},
        {"0530", 530},
        {"&H10", 16},
        {"&hff", 255},
        {"&HFFFF", -1},                   // 16-bit when the value fits four digits
        {"&H8000", -32768},
        {"&H10000", 65536},
        {"&HFFFFFFFF", -1},
        {"&H7FFFFFFF", 2147483647},
        {"&HFFz", 255},
        {"&H", 0},
        {"&O17", 15},
        {"&o177777", -1},
        {"&X1", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(Val(QString::fromUtf8(c.text)), c.expected);
    }
}

TEST(VbVal, TooLargeIsAnOverflow)
{
    const QString desc = expectVbError(6, [] { Val(QStringLiteral("1e400")); });
    EXPECT_EQ(desc, QStringLiteral("Overflow"));
    EXPECT_EQ(Val(QStringLiteral("1e-400")), 0.0);
    EXPECT_EQ(Val(QStringLiteral("0.0000001e-320")), 0.0);
}

TEST(VbVal, HugeExponentsOverflowOrVanishWhateverTheirLength)
{
    struct Case {
        const char* text;
        bool overflow;
        double value;
    } const cases[] = {
        {"8e99999", true, 0},
        {"8e9999999999999999999", true, 0},
        {"8E+99999999999999999999999999999999", true, 0},
        {"-8d9999999999999999999", true, 0},
        {"0.5e9999999999999999999", true, 0},
        {"8e-9999999999999999999", false, 0},
        {"0.01e-9999999999999999999", false, 0},
        {"-0.001D-99999999999999999999999999999", false, 0},
        {"0e9999999999999999999", false, 0},
        // Hexadecimal "E" and "D" are digits, not exponents.
        {"&H8E99", false, -29031},
        {"&H1D9", false, 473},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);
        if (c.overflow) {
            expectVbError(6, [&] { Val(text); });
            expectVbError(6, [&] { CDbl(text); });
        } else {
            EXPECT_EQ(Val(text), c.value);
            EXPECT_EQ(CDbl(text), c.value);
        }
    }
}

TEST(VbRounding, CIntAndCLngRoundHalvesToEven)
{
    struct Case {
        double value;
        int expected;
    } const cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2},
        {2.4, 2}, {2.6, 3}, {-2.6, -3}, {32767.4, 32767}, {-32768.5, -32768}, {32767, 32767},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(CInt(c.value), c.expected);
        EXPECT_EQ(CLng(c.value), c.expected);
    }
    EXPECT_EQ(CLng(2147483647.4), 2147483647);
    EXPECT_EQ(CLng(-2147483648.5), -2147483647 - 1);
    EXPECT_EQ(CLng(32768), 32768);
}

TEST(VbRounding, OutOfRangeIsAnOverflow)
{
    for (double v : {32767.5, 32768.0, -32768.6, -32769.0, 1e10}) {
        SCOPED_TRACE(v);
        expectVbError(6, [v] { CInt(v); });
    }
    for (double v : {2147483647.5, -2147483648.6, 1e12}) {
        SCOPED_TRACE(v);
        expectVbError(6, [v] { CLng(v); });
    }
    expectVbError(6, [] { CInt(std::numeric_limits<double>::quiet_NaN()); });
}

TEST(VbRounding, RoundIntFix)
{
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(2.51), 3);
    EXPECT_DOUBLE_EQ(Round(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(Round(0.375, 2), 0.38);
    EXPECT_DOUBLE_EQ(Round(1.2345, 2), 1.23);
    EXPECT_DOUBLE_EQ(Round(-1.236, 2), -1.24);
    expectVbError(5, [] { Round(1.5, -1); });
    EXPECT_EQ(Int(2.7), 2);
    EXPECT_EQ(Int(-2.5), -3);
}

TEST(VbConversion, CDblAndIsNumericTakeTheWholeText)
{
    struct Case {
        const char* text;
        bool numeric;
        double value;
    } const cases[] = {
        {"12", true, 12},
        {" 12 ", true, 12},
        {" -1.5 ", true, -1.5},
        {"+3", true, 3},
        {"1e3", true, 1000},
        {"2.5D1", true, 25},
        {".5", true, 0.5},
        {"1,000", true, 1000},
        {"&H10", true, 16},
        {"&HFFFF", true, -1},
        {"", false, 0},
        {"   ", false, 0},
        {"abc", false, 0},
        {"12a", false, 0},
        {"1e", false, 0},
        {".", false, 0},
        {"-", false, 0},
        {"1 2", false, 0},
        {",5", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(IsNumeric(text), c.numeric);
        if (c.numeric)
            EXPECT_DOUBLE_EQ(CDbl(text), c.value);
        else
            EXPECT_EQ(expectVbError(13, [&] { CDbl(text); }), QStringLiteral("Type mismatch"));
    }
    expectVbError(6, [] { CDbl(QStringLiteral("1e400")); });
}

TEST(VbText, CStrGivesUpTo15SignificantDigits)
{
    struct Case {
        double value;
        const char* expected;
    } const cases[] = {
        {0, "0"},
        {100, "100"},
        {-7, "-7"},
        {2.5, "2.5"},
        {0.5, "0.5"},
        {-0.5, "-0.5"},
        {0.0001, "0.0001"},
        {1e-5, "1E-05"},
        {1.5e-7, "1.5E-07"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E+15"},
        {1234567890123456.0, "1.23456789012346E+15"},
        {1e20, "1E+20"},
        {1e100, "1E+100"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3.0, "0.333333333333333"},
        {-2.0 / 3.0, "-0.666666666666667"},
        {25200, "25200"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(CStr(c.value), QString::fromLatin1(c.expected));
    }
    EXPECT_EQ(CStr(-0.0), QStringLiteral("0"));
}

TEST(VbText, StrLeadsNonNegativeValuesWithABlank)
{
    EXPECT_EQ(Str(459), QStringLiteral(" 459"));
    EXPECT_EQ(Str(-459.65), QStringLiteral("-459.65"));
    EXPECT_EQ(Str(459.001), QStringLiteral(" 459.001"));
    EXPECT_EQ(Str(0), QStringLiteral(" 0"));
    EXPECT_EQ(Str(0.5), QStringLiteral(" .5"));
    EXPECT_EQ(Str(-0.25), QStringLiteral("-.25"));
    EXPECT_EQ(Str(1e20), QStringLiteral(" 1E+20"));
}

TEST(VbText, HexOfThirtyTwoBitValues)
{
    struct Case {
        qint64 value;
        const char* expected;
    } const cases[] = {
        {0, "0"},
        {10, "A"},
        {255, "FF"},
        {4096, "1000"},
        {-1, "FFFFFFFF"},
        {2147483647, "7FFFFFFF"},
        {-2147483648LL, "80000000"},
        {4294967295LL, "FFFFFFFF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(Hex(c.value), QString::fromLatin1(c.expected));
    }
    expectVbError(6, [] { Hex(4294967296LL); });
    expectVbError(6, [] { Hex(-2147483649LL); });
}
