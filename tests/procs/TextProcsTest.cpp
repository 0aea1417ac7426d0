// HexToDec, NewGuid, QuickSort and IsWordChars.
#include "common/FileProcs.h"
#include "common/VbError.h"
#include "support/VbErrors.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

TEST(HexToDec, ConvertsExactlyOrGivesEmptyForNonHex)
{
    EXPECT_EQ(HexToDec("ff"), "255");
    EXPECT_EQ(HexToDec("Ff"), "255");
    EXPECT_EQ(HexToDec(""), "0");
    EXPECT_EQ(HexToDec("000"), "0");
    EXPECT_EQ(HexToDec("12G4"), "");
    EXPECT_EQ(HexToDec("12 4"), "");
    EXPECT_EQ(HexToDec("-1"), "");
    // 16 digits: past the signed 64-bit range.
    EXPECT_EQ(HexToDec("FFFFFFFFFFFFFFFF"), "18446744073709551615");
    EXPECT_EQ(HexToDec("8000000000000000"), "9223372036854775808");
    // 28 decimal digits (2^92 - 1) and the largest Decimal value (2^96 - 1), exactly.
    EXPECT_EQ(HexToDec(QString(23, QLatin1Char('F'))), "4951760157141521099596496895");
    EXPECT_EQ(HexToDec(QString(24, QLatin1Char('f'))), "79228162514264337593543950335");
    // Leading zeros do not count against the range.
    EXPECT_EQ(HexToDec(QStringLiteral("0000000000") + QString(24, QLatin1Char('F'))),
              "79228162514264337593543950335");
    // Past 96 bits the Decimal arithmetic overflows.
    EXPECT_EQ(vbErrorNumber([] { HexToDec(QStringLiteral("1") + QString(24, QLatin1Char('0'))); }), 6);
}

TEST(NewGuid, TextAndHalvesFromFixedBytes)
{
    // First field 10, second 0x1234, third 0x5678, then eight bytes; fields little-endian.
    const std::array<quint8, 16> bytes{0x0A, 0x00, 0x00, 0x00, 0x34, 0x12, 0x78, 0x56,
                                       0x9A, 0xBC, 0xDE, 0xF0, 0x01, 0x23, 0x45, 0x67};
    QString half1 = "junk";
    QString half2;
    const QString text = NewGuidFromBytes(bytes, half1, half2);
    EXPECT_EQ(text, "0000000A-1234-5678-9ABC-DEF001234567");
    const quint64 expectedHalf1 = 10ULL + (0x1234ULL << 32) + (0x5678ULL << 48);
    EXPECT_EQ(half1, QString::number(expectedHalf1));
    EXPECT_EQ(half2, QString::number(0x67452301F0DEBC9AULL));

    // Bytes with the top bit set read as unsigned numbers; leading zero fields vanish.
    std::array<quint8, 16> high{};
    high.fill(0xFF);
    high[0] = 0x01;
    high[1] = high[2] = high[3] = 0x00;
    QString h1, h2;
    EXPECT_EQ(NewGuidFromBytes(high, h1, h2), "00000001-FFFF-FFFF-FFFF-FFFFFFFFFFFF");
    EXPECT_EQ(h1, QString::number(0xFFFFFFFF00000001ULL));
    EXPECT_EQ(h2, "18446744073709551615");

    // What half2 holds on entry goes in front of the hexadecimal digits.
    QString g1, g2 = "1";
    NewGuidFromBytes(bytes, g1, g2);
    EXPECT_EQ(g2, HexToDec("167452301F0DEBC9A"));
}

TEST(NewGuid, FreshGuidsAreWellFormedAndMatchTheirHalves)
{
    static const QRegularExpression form(
        "^([0-9A-F]{8})-([0-9A-F]{4})-([0-9A-F]{4})-([0-9A-F]{2})([0-9A-F]{2})-((?:[0-9A-F]{2}){6})$");
    QString first;
    for (int n = 0; n < 20; ++n) {
        QString half1, half2;
        const QString text = NewGuid(half1, half2);
        const QRegularExpressionMatch m = form.match(text);
        ASSERT_TRUE(m.hasMatch()) << text.toStdString();
        const quint64 d1 = m.captured(1).toULongLong(nullptr, 16);
        const quint64 d2 = m.captured(2).toULongLong(nullptr, 16);
        const quint64 d3 = m.captured(3).toULongLong(nullptr, 16);
        EXPECT_EQ(half1, QString::number(d1 + (d2 << 32) + (d3 << 48)));
        // The last eight bytes as written, read back little-endian.
        const QString lastBytes = m.captured(4) + m.captured(5) + m.captured(6);
        quint64 d4 = 0;
        for (int i = 7; i >= 0; --i)
            d4 = (d4 << 8) | lastBytes.mid(i * 2, 2).toULongLong(nullptr, 16);
        EXPECT_EQ(half2, QString::number(d4));
        if (n == 0)
            first = text;
        else
            EXPECT_NE(text, first);
    }
}

TEST(QuickSort, OrdersWithoutRegardToCase)
{
    QStringList list{"b", "A", "a", "C"};
    QuickSort(list, 0, 3);
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list[0].toLower(), "a");
    EXPECT_EQ(list[1].toLower(), "a");
    EXPECT_EQ(list[2], "b");
    EXPECT_EQ(list[3], "C");
    // Items equal but for case end up in the order this algorithm gives them (the pivot is
    // the middle item, halves rounded to the even index).
    EXPECT_EQ(list, (QStringList{"a", "A", "b", "C"}));
    QStringList ties{"b", "a", "b", "A"};
    QuickSort(ties, 0, 3);
    EXPECT_EQ(ties, (QStringList{"a", "A", "b", "b"}));

    // Only the given range is sorted.
    QStringList part{"z", "d", "C", "b", "a"};
    QuickSort(part, 1, 3);
    EXPECT_EQ(part, (QStringList{"z", "b", "C", "d", "a"}));

    // Nothing to sort, and an empty list, leave the list alone.
    QStringList empty;
    QuickSort(empty, 0, -1);
    EXPECT_TRUE(empty.isEmpty());
    QStringList one{"x"};
    QuickSort(one, 0, 0);
    EXPECT_EQ(one, QStringList{"x"});

    // A range past the list's end is an error, not a crash.
    QStringList two{"b", "a"};
    EXPECT_EQ(vbErrorNumber([&] { QuickSort(two, 0, 2); }), 9);
}

TEST(QuickSort, SortsLargeListsWithDuplicatesAndKeepsEveryItem)
{
    QRandomGenerator rng(12345);
    const QStringList words{"Alpha", "alpha", "beta", "Gamma", "delta", "DELTA", "e", "", "Zulu", "zulu1"};
    for (int size : {2, 3, 7, 64, 1000}) {
        QStringList list;
        for (int i = 0; i < size; ++i)
            list.append(words[rng.bounded(words.size())] + QString::number(rng.bounded(3)));
        QStringList original = list;
        QuickSort(list, 0, int(list.size()) - 1);
        for (qsizetype i = 1; i < list.size(); ++i)
            ASSERT_LE(QString::compare(list[i - 1], list[i], Qt::CaseInsensitive), 0) << size;
        std::sort(original.begin(), original.end());
        QStringList sorted = list;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, original);
    }
}

TEST(IsWordChars, LettersAndTheSixPunctuationMarks)
{
    EXPECT_FALSE(IsWordChars(""));
    EXPECT_TRUE(IsWordChars("AzaZ"));
    EXPECT_TRUE(IsWordChars("\"$',-."));
    EXPECT_FALSE(IsWordChars("a b"));
    EXPECT_FALSE(IsWordChars("a1"));
    EXPECT_FALSE(IsWordChars("a_"));
    EXPECT_FALSE(IsWordChars("a#"));
    EXPECT_FALSE(IsWordChars(QStringLiteral("caf\u00e9"))); // not an ASCII letter
    EXPECT_FALSE(IsWordChars("a@")); // 64, next to "A"
    EXPECT_FALSE(IsWordChars("a[")); // 91, next to "Z"
}
