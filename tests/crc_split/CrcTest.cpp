// The CRC calculator: published check values, the signed results, the register rules of
// Algorithm, Clear and value, feeding in pieces, and files read in blocks.

#include "packaging/clsCRC.h"

#include "common/VbError.h"
#include "support/TestBytes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

quint32 referenceCrc16(const QByteArray& bytes)
{
    quint32 reg = 0;
    for (char c : bytes) {
        reg ^= quint32(uchar(c)) << 8;
        for (int k = 0; k < 8; ++k)
            reg = (reg & 0x8000) ? ((reg << 1) ^ 0x1021) & 0xFFFF : (reg << 1) & 0xFFFF;
    }
    return reg;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    EXPECT_EQ(f.write(bytes), bytes.size());
    return path;
}

} // namespace

TEST(clsCRC, ANewObjectSelectsCrc32AndReadsZero)
{
    clsCRC crc;
    EXPECT_EQ(crc.Algorithm(), -1);
    EXPECT_EQ(crc.value(), 0);
}

TEST(clsCRC, CalculateStringGivesTheCheckValues)
{
    struct Case {
        qint32 algorithm;
        QString text;
        qint32 expected;
    } const cases[] = {
        {1, QStringLiteral("123456789"), -873187034}, // 0xCBF43926, top bit set: negative
        {0, QStringLiteral("123456789"), 12739},      // 0x31C3
        {1, QStringLiteral("a"), qint32(0xE8B7BE43u)},
        {0, QStringLiteral("a"), 0x7C87},
        {1, QString(), 0},
        {0, QString(), 0},
        {1, QStringLiteral("The quick brown fox jumps over the lazy dog"), 0x414FA339},
        // Windows-1252: the euro sign is byte 0x80, e acute 0xE9, and a character the code
        // page lacks becomes "?"
        {1, QStringLiteral("\u20AC\u00E9"), qint32(referenceCrc32(QByteArray("\x80\xE9")))},
        {0, QStringLiteral("\u20AC\u00E9"), qint32(referenceCrc16(QByteArray("\x80\xE9")))},
        {1, QStringLiteral("\u0416"), qint32(referenceCrc32(QByteArray("?")))},
    };
    for (const Case& c : cases) {
        clsCRC crc;
        crc.setAlgorithm(c.algorithm);
        EXPECT_EQ(crc.AddString(c.text), c.expected) << c.algorithm << " " << c.text.toStdString();
        // The text alone, whatever the register held before.
        crc.AddString(QStringLiteral("earlier text"));
        EXPECT_EQ(crc.CalculateString(c.text), c.expected) << c.algorithm << " " << c.text.toStdString();
        EXPECT_EQ(crc.value(), c.expected);
    }
}

TEST(clsCRC, EveryLengthAndAlignmentMatchesTheBitwiseReference)
{
    // Lengths around the eight-byte steps of the CRC-32 loop, at every start alignment.
    const QByteArray data = randomBytes(4096 + 64, 7);
    for (qint32 algorithm : {1, 0}) {
        clsCRC crc;
        crc.setAlgorithm(algorithm);
        for (qsizetype start = 0; start < 8; ++start) {
            for (qsizetype length : {1, 2, 7, 8, 9, 15, 16, 17, 63, 64, 65, 1000, 4096}) {
                const QByteArray piece = data.mid(start, length);
                const qint32 expected = algorithm ? qint32(referenceCrc32(piece)) : qint32(referenceCrc16(piece));
                ASSERT_EQ(crc.CalculateBytes(piece), expected) << algorithm << " " << start << " " << length;
            }
        }
    }
}

TEST(clsCRC, FeedingInPiecesEqualsOneCalculation)
{
    for (qint32 algorithm : {1, 0}) {
        clsCRC crc;
        crc.setAlgorithm(algorithm);
        crc.Clear();
        crc.AddString(QStringLiteral("1234"));
        const qint32 fed = crc.AddString(QStringLiteral("56789"));
        EXPECT_EQ(fed, crc.value());
        clsCRC whole;
        whole.setAlgorithm(algorithm);
        EXPECT_EQ(fed, whole.CalculateString(QStringLiteral("123456789"))) << algorithm;

        // A byte array cut at odd places, fed through both kinds of argument.
        const QByteArray data = randomBytes(10007, 3);
        crc.Clear();
        crc.AddBytes(data.left(3));
        VbArray<quint8> middle(1, 5000);
        for (qsizetype i = 0; i < 5000; ++i)
            middle[1 + i] = quint8(data[3 + i]);
        crc.AddBytes(middle);
        crc.AddBytes(data.mid(5003));
        EXPECT_EQ(crc.value(), whole.CalculateBytes(data)) << algorithm;
    }
}

TEST(clsCRC, AddBytesFeedsEveryElementWhateverTheLowerBound)
{
    VbArray<quint8> bytes(5, 13);
    const QByteArray digits("123456789");
    for (qsizetype i = 5; i <= 13; ++i)
        bytes[i] = quint8(digits[i - 5]);
    clsCRC crc;
    EXPECT_EQ(crc.AddBytes(bytes), -873187034);
    EXPECT_EQ(crc.CalculateBytes(bytes), -873187034);
    crc.setAlgorithm(0);
    EXPECT_EQ(crc.CalculateBytes(bytes), 12739);
}

TEST(clsCRC, EmptyInputLeavesTheRunningRegister)
{
    for (qint32 algorithm : {1, 0}) {
        clsCRC crc;
        crc.setAlgorithm(algorithm);
        const qint32 running = crc.AddString(QStringLiteral("abc"));
        EXPECT_NE(running, 0);
        EXPECT_EQ(crc.AddString(QString()), running);
        EXPECT_EQ(crc.AddBytes(QByteArray()), running);
        EXPECT_EQ(crc.AddBytes(VbArray<quint8>(3, 2)), running);
        EXPECT_EQ(crc.value(), running);
        // The calculating forms clear first, then add nothing.
        EXPECT_EQ(crc.CalculateBytes(VbArray<quint8>(0, -1)), 0);
    }
}

TEST(clsCRC, AlgorithmSelectsAndClearsBothRegisters)
{
    struct Case {
        qint32 set;
        qint32 readBack;
        qint32 checkValue;
    } const cases[] = {
        {1, -1, -873187034}, {2, -1, -873187034}, {-7, -1, -873187034}, {0, 0, 12739}, {65536, -1, -873187034},
    };
    for (const Case& c : cases) {
        clsCRC crc;
        crc.setAlgorithm(0);
        crc.AddString(QStringLiteral("xyz"));
        crc.setAlgorithm(1);
        crc.AddString(QStringLiteral("xyz"));
        crc.setAlgorithm(c.set);
        EXPECT_EQ(crc.Algorithm(), c.readBack) << c.set;
        EXPECT_EQ(crc.value(), 0) << c.set; // the selected register starts afresh
        EXPECT_EQ(crc.AddString(QStringLiteral("123456789")), c.checkValue) << c.set;
        // Setting the same algorithm again clears as well.
        crc.setAlgorithm(c.set);
        EXPECT_EQ(crc.value(), 0) << c.set;
    }
}

TEST(clsCRC, ClearResetsBothRegistersWhicheverIsSelected)
{
    clsCRC crc;
    crc.AddString(QStringLiteral("data"));
    crc.setAlgorithm(0); // clears; now feed CRC-16 and leave CRC-32 untouched
    crc.AddString(QStringLiteral("data"));
    crc.Clear();
    EXPECT_EQ(crc.value(), 0);
    crc.setValue(0x1234);
    crc.Clear();
    EXPECT_EQ(crc.value(), 0);
}

TEST(clsCRC, ValueSetStoresTheRegisterAsItIs)
{
    struct Case {
        qint32 algorithm;
        double set;
        qint32 readBack;
    } const cases[] = {
        {1, 0, -1},                       // the CRC-32 register reads back complemented
        {1, -1, 0},
        {1, 2147483647.0, qint32(0x80000000u)},
        {1, 2.5, ~2},                     // converted with halves to even
        {0, 70000, 4464},                 // the CRC-16 register reads back masked
        {0, -1, 65535},
        {0, 3.5, 4},
    };
    for (const Case& c : cases) {
        clsCRC crc;
        crc.setAlgorithm(c.algorithm);
        crc.setValue(c.set);
        EXPECT_EQ(crc.value(), c.readBack) << c.algorithm << " " << c.set;
    }

    // A CRC-16 register set above 16 bits runs on with its low 16 bits only.
    clsCRC wide;
    wide.setAlgorithm(0);
    wide.setValue(0x31C3 + 0x50000);
    clsCRC narrow;
    narrow.setAlgorithm(0);
    narrow.setValue(0x31C3);
    EXPECT_EQ(wide.AddString(QStringLiteral("more")), narrow.AddString(QStringLiteral("more")));

    // Feeding on from a set register continues from exactly that register.
    clsCRC resumed;
    resumed.setValue(qint32(~quint32(-873187034)));
    EXPECT_EQ(resumed.value(), -873187034);
    clsCRC whole;
    EXPECT_EQ(resumed.AddString(QStringLiteral("abc")), whole.CalculateString(QStringLiteral("123456789abc")));
}

TEST(clsCRC, ValueSetOutOfRangeRaisesOverflowAndKeepsTheRegister)
{
    for (qint32 algorithm : {1, 0}) {
        for (double bad : {2147483648.0, -2147483649.0, 1e20}) {
            clsCRC crc;
            crc.setAlgorithm(algorithm);
            const qint32 before = crc.AddString(QStringLiteral("keep"));
            try {
                crc.setValue(bad);
                ADD_FAILURE() << "no error for " << bad;
            } catch (const VbError& e) {
                EXPECT_EQ(e.number, 6);
            }
            EXPECT_EQ(crc.value(), before) << algorithm << " " << bad;
        }
    }
}

TEST(clsCRC, CalculateFileMissingEmptyAndWhole)
{
    QTemporaryDir dir;
    const QString empty = writeFile(dir, QStringLiteral("empty.bin"), QByteArray());
    const QString digits = writeFile(dir, QStringLiteral("digits.txt"), "123456789");

    for (qint32 algorithm : {1, 0}) {
        clsCRC crc;
        crc.setAlgorithm(algorithm);
        const qint32 running = crc.AddString(QStringLiteral("running"));

        const std::optional<qint32> missing = crc.CalculateFile(dir.filePath(QStringLiteral("no such file")));
        ASSERT_TRUE(missing.has_value());
        EXPECT_EQ(*missing, 0);
        EXPECT_EQ(crc.value(), running); // not cleared

        EXPECT_FALSE(crc.CalculateFile(empty).has_value());
        EXPECT_EQ(crc.value(), running);

        EXPECT_EQ(crc.CalculateFile(dir.path()), std::optional<qint32>(0)); // a folder is no file

        const std::optional<qint32> whole = crc.CalculateFile(digits);
        ASSERT_TRUE(whole.has_value());
        EXPECT_EQ(*whole, algorithm ? -873187034 : 12739);
        EXPECT_EQ(crc.value(), *whole);
    }
}

TEST(clsCRC, CalculateFileReadInBlocksEqualsOneCalculation)
{
    // Sizes on both sides of the read block (4 MiB), and several blocks with a short tail.
    QTemporaryDir dir;
    for (qsizetype size : {qsizetype(1), qsizetype(4 << 20) - 1, qsizetype(4 << 20), qsizetype(4 << 20) + 1,
                           qsizetype(9 << 20) + 5}) {
        const QByteArray data = randomBytes(size, unsigned(size));
        const QString path = writeFile(dir, QStringLiteral("f%1.bin").arg(size), data);
        for (qint32 algorithm : {1, 0}) {
            clsCRC fromFile;
            fromFile.setAlgorithm(algorithm);
            clsCRC inMemory;
            inMemory.setAlgorithm(algorithm);
            const qint32 expected = inMemory.CalculateBytes(data);
            fromFile.AddString(QStringLiteral("left over")); // the file's result does not start from here
            const std::optional<qint32> got = fromFile.CalculateFile(path);
            ASSERT_TRUE(got.has_value());
            EXPECT_EQ(*got, expected) << size << " " << algorithm;
            if (size < 5000) {
                EXPECT_EQ(*got, algorithm ? qint32(referenceCrc32(data)) : qint32(referenceCrc16(data)));
            }
        }
    }
}
