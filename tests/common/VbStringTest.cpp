// Text primitives: positions from 1, "not found" as 0, and the run-time's failures.

#include "support/VbErrors.h"

#include "common/Vb.h"

using namespace vb;

namespace {

struct InStrCase {
    qsizetype start;
    const char* s1;
    const char* s2;
    Compare compare;
    qsizetype expected;
};

} // namespace

TEST(VbInStr, FindsFromStart)
{
    const InStrCase cases[] = {
        {1, "abcabc", "c", Compare::Binary, 3},
        {4, "abcabc", "c", Compare::Binary, 6},
        {3, "abc", "c", Compare::Binary, 3},
        {2, "aaa", "aa", Compare::Binary, 2},
        {7, "abcabc", "c", Compare::Binary, 0},   // start past the end
        {100, "abc", "a", Compare::Binary, 0},
        {1, "abc", "abcd", Compare::Binary, 0},
        {1, "", "a", Compare::Binary, 0},
        {1, "", "", Compare::Binary, 0},
        {1, "abc", "", Compare::Binary, 1},       // empty search text gives start
        {3, "abc", "", Compare::Binary, 3},
        {4, "abc", "", Compare::Binary, 4},
        {5, "abc", "", Compare::Binary, 0},
        {1, "abc", "C", Compare::Binary, 0},
        {1, "abc", "C", Compare::Text, 3},
        {1, "Hello World", "WORLD", Compare::Text, 7},
        {8, "Hello World", "o", Compare::Text, 8},
        {9, "Hello World", "O", Compare::Text, 0},
        {1, "<Provider>Kuju</PROVIDER>", "</provider", Compare::Text, 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.s1) + " / " + c.s2 + " from " + std::to_string(c.start));
        EXPECT_EQ(InStr(c.start, QString::fromUtf8(c.s1), QString::fromUtf8(c.s2), c.compare), c.expected);
    }
    EXPECT_EQ(InStr(QStringLiteral("abcabc"), QStringLiteral("bc")), 2);
    EXPECT_EQ(InStr(QStringLiteral("ABC"), QStringLiteral("b"), Compare::Text), 2);
}

TEST(VbInStr, StartBelowOneIsAnInvalidArgument)
{
    const QString desc = expectVbError(5, [] { InStr(0, QStringLiteral("abc"), QStringLiteral("a")); });
    EXPECT_EQ(desc, QStringLiteral("Invalid procedure call or argument"));
    expectVbError(5, [] { InStr(-1, QStringLiteral("abc"), QStringLiteral("a")); });
    expectVbError(5, [] { InStr(0, QString(), QString()); });
}

TEST(VbInStrRev, MatchMustEndAtOrBeforeStart)
{
    const InStrCase cases[] = {
        {-1, "abcabc", "c", Compare::Binary, 6},
        {5, "abcabc", "c", Compare::Binary, 3},
        {5, "abcabc", "bc", Compare::Binary, 2},  // the "bc" at 5 ends at 6
        {6, "abcabc", "bc", Compare::Binary, 5},
        {5, "abcabc", "abc", Compare::Binary, 1},
        {2, "abcabc", "abc", Compare::Binary, 0},
        {-1, "abc", "x", Compare::Binary, 0},
        {-1, "abc", "abcd", Compare::Binary, 0},
        {4, "abc", "c", Compare::Binary, 0},      // start past the end
        {-1, "abc", "", Compare::Binary, 3},
        {2, "abc", "", Compare::Binary, 2},
        {-1, "", "a", Compare::Binary, 0},
        {-1, "ABCabc", "C", Compare::Binary, 3},
        {-1, "ABCabc", "C", Compare::Text, 6},
        {5, "ABCabc", "c", Compare::Text, 3},
        {-1, "C:\\Games\\RS\\railsim.exe", "\\", Compare::Binary, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.s1) + " / " + c.s2 + " from " + std::to_string(c.start));
        EXPECT_EQ(InStrRev(QString::fromUtf8(c.s1), QString::fromUtf8(c.s2), c.start, c.compare), c.expected);
    }
}

TEST(VbInStrRev, StartZeroOrBelowMinusOneIsAnInvalidArgument)
{
    expectVbError(5, [] { InStrRev(QStringLiteral("abc"), QStringLiteral("a"), 0); });
    expectVbError(5, [] { InStrRev(QStringLiteral("abc"), QStringLiteral("a"), -2); });
}

TEST(VbCut, MidLeftRight)
{
    const QString s = QStringLiteral("abcdef");
    EXPECT_EQ(Mid(s, 2), QStringLiteral("bcdef"));
    EXPECT_EQ(Mid(s, 6), QStringLiteral("f"));
    EXPECT_EQ(Mid(s, 7), QString());
    EXPECT_EQ(Mid(s, 2, 3), QStringLiteral("bcd"));
    EXPECT_EQ(Mid(s, 5, 10), QStringLiteral("ef"));
    EXPECT_EQ(Mid(s, 7, 2), QString());
    EXPECT_EQ(Mid(s, 1, 0), QString());
    EXPECT_EQ(Mid(QString(), 1, 5), QString());
    EXPECT_EQ(Left(s, 2), QStringLiteral("ab"));
    EXPECT_EQ(Left(s, 0), QString());
    EXPECT_EQ(Left(s, 99), s);
    EXPECT_EQ(Right(s, 2), QStringLiteral("ef"));
    EXPECT_EQ(Right(s, 99), s);
    EXPECT_EQ(Len(s), 6);
}

TEST(VbCut, BadStartOrLengthIsAnInvalidArgument)
{
    const QString s = QStringLiteral("abcdef");
    expectVbError(5, [&] { Mid(s, 0); });
    expectVbError(5, [&] { Mid(s, -3, 2); });
    expectVbError(5, [&] { Mid(s, 0, 1); });
    expectVbError(5, [&] { Mid(s, 1, -1); });
    expectVbError(5, [&] { Left(s, -1); });
    expectVbError(5, [&] { Right(s, -1); });
}

TEST(VbMidStatement, OverwritesWithoutChangingLength)
{
    struct Case {
        qsizetype start;
        qsizetype length;
        const char* text;
        const char* expected;
    } const cases[] = {
        {2, 3, "XYZW", "aXYZef"},
        {5, 10, "XYZ", "abcdXY"},
        {1, 2, "X", "Xbcdef"},
        {6, 1, "XYZ", "abcdeX"},
        {3, 0, "XYZ", "abcdef"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        QString s = QStringLiteral("abcdef");
        MidAssign(s, c.start, c.length, QString::fromUtf8(c.text));
        EXPECT_EQ(s, QString::fromUtf8(c.expected));
    }
    QString s = QStringLiteral("abcdef");
    MidAssign(s, 3, QStringLiteral("12"));
    EXPECT_EQ(s, QStringLiteral("ab12ef"));

    expectVbError(5, [] { QString t = QStringLiteral("abc"); MidAssign(t, 0, 1, QStringLiteral("x")); });
    expectVbError(5, [] { QString t = QStringLiteral("abc"); MidAssign(t, 4, 1, QStringLiteral("x")); });
    expectVbError(5, [] { QString t = QStringLiteral("abc"); MidAssign(t, 1, -1, QStringLiteral("x")); });
    expectVbError(5, [] { QString t; MidAssign(t, 1, QStringLiteral("x")); });
}

TEST(VbReplace, ResultBeginsAtStart)
{
    struct Case {
        const char* expression;
        const char* find;
        const char* replacement;
        qsizetype start;
        qsizetype count;
        Compare compare;
        const char* expected;
    } const cases[] = {
        {"aXbXc", "X", "-", 1, -1, Compare::Binary, "a-b-c"},
        {"aXbXc", "X", "-", 3, -1, Compare::Binary, "b-c"},
        {"aXbXcX", "X", "-", 1, 2, Compare::Binary, "a-b-cX"},
        {"aXbxc", "x", "-", 1, -1, Compare::Binary, "aXb-c"},
        {"aXbxc", "x", "-", 1, -1, Compare::Text, "a-b-c"},
        {"aaa", "aa", "b", 1, -1, Compare::Binary, "ba"},
        {"abc", "b", "", 1, -1, Compare::Binary, "ac"},
        {"abc", "", "-", 1, -1, Compare::Binary, "abc"},
        {"abc", "b", "x", 1, 0, Compare::Binary, "abc"},
        {"abc", "b", "x", 3, -1, Compare::Binary, "c"},
        {"abc", "b", "x", 4, -1, Compare::Binary, ""},
        {"", "a", "b", 1, -1, Compare::Binary, ""},
        {"a.b", "b", "bb", 1, -1, Compare::Binary, "a.bb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.expression) + " -> " + c.expected);
        EXPECT_EQ(Replace(QString::fromUtf8(c.expression), QString::fromUtf8(c.find),
                          QString::fromUtf8(c.replacement), c.start, c.count, c.compare),
                  QString::fromUtf8(c.expected));
    }
    expectVbError(5, [] { Replace(QStringLiteral("abc"), QStringLiteral("b"), QStringLiteral("x"), 0); });
    expectVbError(5, [] { Replace(QStringLiteral("abc"), QStringLiteral("b"), QStringLiteral("x"), 1, -2); });
}

TEST(VbBlanksAndCase, TrimOnlyBlanks)
{
    EXPECT_EQ(Trim(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    EXPECT_EQ(Trim(QStringLiteral(" \tx\r\n ")), QStringLiteral("\tx\r\n"));
    EXPECT_EQ(LTrim(QStringLiteral("  a  ")), QStringLiteral("a  "));
    EXPECT_EQ(RTrim(QStringLiteral("  a  ")), QStringLiteral("  a"));
    EXPECT_EQ(Trim(QStringLiteral("   ")), QString());
    EXPECT_EQ(Space(3), QStringLiteral("   "));
    EXPECT_EQ(String(4, QLatin1Char('x')), QStringLiteral("xxxx"));
    expectVbError(5, [] { Space(-1); });
    expectVbError(5, [] { String(-1, QLatin1Char('x')); });
}

TEST(VbBlanksAndCase, CaseKeepsLength)
{
    // Every character maps to one character, so positions found in one form hold in the
    // other; the sharp s has no one-character capital and the micro sign none in ANSI.
    EXPECT_EQ(UCase(QStringLiteral("Straße äÿ µ1")), QStringLiteral("STRAßE ÄŸ µ1"));
    EXPECT_EQ(LCase(QStringLiteral("ÄBCŸ")), QStringLiteral("äbcÿ"));
}
