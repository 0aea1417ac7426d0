// Format of numbers with digit placeholders and literal text.

#include "support/VbErrors.h"

#include "common/Vb.h"

using namespace vb;

TEST(VbFormat, NumericPatterns)
{
    struct Case {
        double value;
        const char* pattern;
        const char* expected;
    } const cases[] = {
        // Start times in seconds.
        {30600, "00000.0000", "30600.0000"},
        {19800, "00000.0000", "19800.0000"},
        {600, "00000.0000", "00600.0000"},
        {123456, "00000.0000", "123456.0000"},
        {0.00005, "00000.0000", "00000.0001"},
        // Two-digit hours and minutes.
        {7, "00", "07"},
        {0, "00", "00"},
        {123, "00", "123"},
        {5, "000", "005"},
        // Whole numbers; halves away from zero.
        {5, "0", "5"},
        {2.5, "0", "3"},
        {3.5, "0", "4"},
        {-2.5, "0", "-3"},
        {0.4, "0", "0"},
        {-0.4, "0", "-0"},
        // Decimals, rounded on the 15-digit decimal form of the value.
        {5.125, "0.00", "5.13"},
        {1.005, "0.00", "1.01"},
        {9.995, "0.00", "10.00"},
        {-1.5, "0.00", "-1.50"},
        {0.05, "0.0", "0.1"},
        {3.14159, "#0.0", "3.1"},
        {0.04, "#0.0", "0.0"},
        {1.5, "0.0#", "1.5"},
        {1.25, "0.0#", "1.25"},
        // "#" shows no digit for a zero integer part.
        {0.5, "####.0000", ".5000"},
        {-0.5, "####.0000", "-.5000"},
        {12.3456789, "####.0000", "12.3457"},
        {1234.5, "####.0000", "1234.5000"},
        {123456.25, "####.0000", "123456.2500"},
        {0, "####.0000", ".0000"},
        {0, "#", ""},
        {12, "#", "12"},
        {0.5, "#", "1"},
        {5, "#.##", "5."},
        // Thousands.
        {1234567.891, "#,##0.00", "1,234,567.89"},
        {0, "#,##0", "0"},
        {123, "#,##0", "123"},
        {999.5, "#,##0", "1,000"},
        {-1234, "#,##0", "-1,234"},
        {100000000, "##0,,", "100"},
        // A comma before every integer placeholder, or after the point, is text; a section
        // can group and scale at once.
        {5, ",0", ",5"},
        {1.5, "0.0,", "1.5,"},
        {1234567, "#,##0,", "1,235"},
        {12345678, "#,#,##0,,", "12"},
        {1e20, "0", "100000000000000000000"},
        // Literal text, quoted text and escaped characters.
        {42, "Value: 0 units", "Value: 42 units"},
        {42, "\"#\"0", "#42"},
        {42, "\\#0", "#42"},
        {-5, "$0.00", "-$5.00"},
        {1234, "00-00", "12-34"},
        {0.25, "0%", "25%"},
        // Sections for negative values and zero.
        {-5, "0;(0)", "(5)"},
        {5, "0;(0)", "5"},
        {0, "0;(0);\"zero\"", "zero"},
        {-5, "0;;\"zero\"", "-5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " -> " + c.expected);
        EXPECT_EQ(Format(c.value, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected));
    }
    EXPECT_EQ(Format(0.5, QString()), QStringLiteral("0.5"));
}
