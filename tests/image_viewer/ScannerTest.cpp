// Scanning without a window: hand-made SANE frames into pictures (every depth and frame kind,
// damaged frames refused), and real scans from SANE's "test" backend: its pictures in every
// mode, no device, errors and cancelling, and the acquisition into the work file.

#include "hub/Scanner.h"

#include "TestScanner.h"
#include "support/TempTree.h"
#include "textures/ImageConvert.h"

#include <QFile>
#include <QImage>
#include <QThread>

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

using namespace hub;

namespace {

ScanFrameData frame(ScanFrame kind, int depth, int bytesPerLine, int pixels, int lines, const QByteArray& bytes)
{
    return {{kind, depth, bytesPerLine, pixels, lines}, bytes};
}

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

// 16-bit samples in the host's order, as SANE delivers them.
QByteArray words(std::initializer_list<quint16> list)
{
    QByteArray b;
    for (quint16 v : list)
        b.append(reinterpret_cast<const char*>(&v), 2);
    return b;
}

using Pixels = std::vector<std::pair<QPoint, QRgb>>;

void expectPixels(const QImage& image, const Pixels& pixels, const std::string& row)
{
    for (const auto& [at, rgb] : pixels)
        EXPECT_EQ(QColor(image.pixel(at)).name().toStdString(), QColor(rgb).name().toStdString())
            << row << " at " << at.x() << "," << at.y();
}

} // namespace

TEST(ScanFrames, HandMadeFramesGiveKnownPixels)
{
    struct Row {
        const char* name;
        std::vector<ScanFrameData> frames;
        QSize size;
        Pixels pixels;
    };
    const QRgb white = qRgb(255, 255, 255);
    const QRgb black = qRgb(0, 0, 0);
    const std::vector<Row> rows = {
        {"gray 8 with a padded line", {frame(ScanFrame::Gray, 8, 3, 2, 2, bytes({0, 128, 99, 255, 7, 99}))}, {2, 2},
         {{{0, 0}, black}, {{1, 0}, qRgb(128, 128, 128)}, {{0, 1}, white}, {{1, 1}, qRgb(7, 7, 7)}}},
        {"gray 16 keeps the high byte", {frame(ScanFrame::Gray, 16, 4, 2, 1, words({0x1234, 0xFF01}))}, {2, 1},
         {{{0, 0}, qRgb(0x12, 0x12, 0x12)}, {{1, 0}, qRgb(0xFF, 0xFF, 0xFF)}}},
        {"gray 1: a set bit is black, the first pixel the top bit", {frame(ScanFrame::Gray, 1, 2, 10, 1, bytes({0x80, 0x40}))}, {10, 1},
         {{{0, 0}, black}, {{1, 0}, white}, {{8, 0}, white}, {{9, 0}, black}}},
        {"rgb 8", {frame(ScanFrame::Rgb, 8, 6, 2, 1, bytes({10, 20, 30, 40, 50, 60}))}, {2, 1},
         {{{0, 0}, qRgb(10, 20, 30)}, {{1, 0}, qRgb(40, 50, 60)}}},
        {"rgb 16", {frame(ScanFrame::Rgb, 16, 6, 1, 1, words({0x1100, 0x22FF, 0x3301}))}, {1, 1}, {{{0, 0}, qRgb(0x11, 0x22, 0x33)}}},
        {"rgb 1: a set bit is full intensity", {frame(ScanFrame::Rgb, 1, 2, 3, 1, bytes({0x8F, 0x80}))}, {3, 1},
         {{{0, 0}, qRgb(255, 0, 0)}, {{1, 0}, qRgb(0, 255, 255)}, {{2, 0}, white}}},
        {"three frames in any order",
         {frame(ScanFrame::Green, 8, 2, 2, 1, bytes({20, 21})), frame(ScanFrame::Blue, 8, 2, 2, 1, bytes({30, 31})),
          frame(ScanFrame::Red, 8, 2, 2, 1, bytes({10, 11}))},
         {2, 1},
         {{{0, 0}, qRgb(10, 20, 30)}, {{1, 0}, qRgb(11, 21, 31)}}},
        {"unknown lines: the whole lines of the data", {frame(ScanFrame::Gray, 8, 2, 2, -1, bytes({1, 2, 3, 4, 5}))}, {2, 2},
         {{{0, 1}, qRgb(3, 3, 3)}, {{1, 1}, qRgb(4, 4, 4)}}},
        {"fewer lines than announced", {frame(ScanFrame::Gray, 8, 1, 1, 3, bytes({9, 8}))}, {1, 2}, {{{0, 1}, qRgb(8, 8, 8)}}},
        {"more data than announced", {frame(ScanFrame::Gray, 8, 1, 1, 1, bytes({9, 8, 7}))}, {1, 1}, {{{0, 0}, qRgb(9, 9, 9)}}},
    };
    for (const Row& row : rows) {
        QString error;
        const QImage image = ImageFromScanFrames(row.frames, &error);
        ASSERT_FALSE(image.isNull()) << row.name << ": " << error.toStdString();
        EXPECT_EQ(image.size(), row.size) << row.name;
        expectPixels(image, row.pixels, row.name);
    }
}

TEST(ScanFrames, UnreadableFramesAreRefused)
{
    struct Row {
        const char* name;
        std::vector<ScanFrameData> frames;
        const char* why;
    };
    const std::vector<Row> rows = {
        {"no frame", {}, "no picture"},
        {"4 bits per sample", {frame(ScanFrame::Gray, 4, 1, 2, 1, bytes({0}))}, "4 bits"},
        {"an unknown frame kind", {frame(ScanFrame(7), 8, 1, 1, 1, bytes({0}))}, "frame kind 7"},
        {"a line too short for its pixels", {frame(ScanFrame::Rgb, 8, 5, 2, 1, bytes({0, 0, 0, 0, 0}))}, "cannot hold"},
        {"a 16-bit line too short", {frame(ScanFrame::Gray, 16, 3, 2, 1, bytes({0, 0, 0}))}, "cannot hold"},
        {"no width", {frame(ScanFrame::Gray, 8, 1, 0, 1, bytes({0}))}, "size"},
        {"too wide", {frame(ScanFrame::Gray, 8, MaxScanSide + 1, MaxScanSide + 1, 1, QByteArray(MaxScanSide + 1, '\0'))}, "size"},
        {"too high", {frame(ScanFrame::Gray, 8, 1, 1, MaxScanSide + 1, bytes({0}))}, "size"},
        {"no whole line", {frame(ScanFrame::Gray, 8, 4, 4, 2, bytes({1, 2, 3}))}, "no complete line"},
        {"frames of different widths", {frame(ScanFrame::Red, 8, 2, 2, 1, bytes({0, 0})), frame(ScanFrame::Green, 8, 1, 1, 1, bytes({0}))}, "width"},
        {"a gray frame among colour frames",
         {frame(ScanFrame::Red, 8, 1, 1, 1, bytes({0})), frame(ScanFrame::Gray, 8, 1, 1, 1, bytes({0}))}, "one colour"},
    };
    for (const Row& row : rows) {
        QString error;
        EXPECT_TRUE(ImageFromScanFrames(row.frames, &error).isNull()) << row.name;
        EXPECT_TRUE(error.contains(QLatin1String(row.why))) << row.name << ": " << error.toStdString();
    }
}

TEST(Scanning, TestBackendPicturesInEveryMode)
{
    struct Row {
        const char* name;
        TestScannerSettings settings;
        QSize size;
        Pixels pixels;
    };
    const QRgb white = qRgb(255, 255, 255);
    const QRgb black = qRgb(0, 0, 0);
    const QRgb frame = qRgb(85, 85, 85);
    const auto settings = [](const char* mode, int depth, const char* picture) {
        TestScannerSettings s;
        s.mode = QLatin1String(mode);
        s.depth = depth;
        s.picture = QLatin1String(picture);
        return s;
    };
    TestScannerSettings threePass = settings("Color", 8, "Color pattern");
    threePass.threePass = true;
    TestScannerSettings hand = settings("Gray", 8, "Grid");
    hand.handScanner = true;
    // The colour pattern's bars: red at (4,8), green at (4,16), blue at (4,28) on a gray frame;
    // at 16 bits it is a ramp whose samples 0x101A and 0x1A22 tell the byte order.
    const Pixels bars = {{{0, 0}, frame}, {{4, 8}, qRgb(255, 0, 0)}, {{4, 16}, qRgb(0, 255, 0)}, {{4, 28}, qRgb(0, 0, 255)}};
    const std::vector<Row> rows = {
        {"colour 8", settings("Color", 8, "Color pattern"), {31, 39}, bars},
        {"colour 8 in three passes", threePass, {31, 39}, bars},
        {"colour 16", settings("Color", 16, "Color pattern"), {31, 39},
         {{{0, 0}, frame}, {{20, 30}, qRgb(0x10, 0, 0)}, {{30, 38}, qRgb(0x1A, 0, 0)}}},
        {"gray 8", settings("Gray", 8, "Color pattern"), {31, 39}, {{{0, 0}, frame}, {{4, 8}, white}}},
        {"gray 16", settings("Gray", 16, "Color pattern"), {31, 39}, {{{0, 0}, frame}, {{20, 30}, qRgb(0x10, 0x10, 0x10)}}},
        {"line art black", settings("Gray", 1, "Solid black"), {31, 39}, {{{0, 0}, black}, {{30, 38}, black}}},
        {"line art white", settings("Gray", 1, "Solid white"), {31, 39}, {{{0, 0}, white}, {{30, 38}, white}}},
        {"colour 1 white", settings("Color", 1, "Solid white"), {31, 39}, {{{0, 0}, white}, {{30, 38}, white}}},
        {"hand scanner: lines unknown beforehand", hand, {43, 66}, {{{0, 0}, white}, {{4, 8}, black}}},
    };
    for (const Row& row : rows) {
        TestScanner scanner(row.settings);
        int calls = 0;
        const ScanOutcome r = ScanImage(QString(), [&] { return ++calls > 0; });
        ASSERT_EQ(r.status, ScanOutcome::Done) << row.name << ": " << r.error.toStdString();
        EXPECT_GT(calls, 0) << row.name;
        EXPECT_EQ(r.image.size(), row.size) << row.name;
        expectPixels(r.image, row.pixels, row.name);
    }
}

TEST(Scanning, NoDeviceDeviceErrorsAndCancellingStopTheScan)
{
    struct Row {
        const char* name;
        const char* readStatus;
        bool withBackend;
        const char* device;
        bool keepGoing;
        ScanOutcome::Status status;
        const char* error;
    };
    const std::vector<Row> rows = {
        {"no backend", "Default", false, "", true, ScanOutcome::NoDevice, ""},
        {"an unknown device", "Default", true, "test:7", true, ScanOutcome::Failed, "the scanner test:7 could not be opened"},
        {"a read error", "SANE_STATUS_IO_ERROR", true, "", true, ScanOutcome::Failed, "the scanner test:0 reported: Error during device I/O"},
        {"cancelled by the device", "SANE_STATUS_CANCELLED", true, "", true, ScanOutcome::Cancelled, ""},
        {"cancelled between reads", "Default", true, "test:0", false, ScanOutcome::Cancelled, ""},
    };
    TempTree tree;
    for (const Row& row : rows) {
        TestScannerSettings s;
        s.readStatus = QLatin1String(row.readStatus);
        s.resolution = kLargePictureResolution;
        TestScanner scanner(s, row.withBackend);
        SetChosenScanSource(QLatin1String(row.device));
        tree.writeFile(QStringLiteral("program/temp.bmp"), "old");
        const ScanOutcome r = AcquireToWorkFile([&] {
            QThread::msleep(kBackendSettleMs);
            return row.keepGoing;
        });
        EXPECT_EQ(r.status, row.status) << row.name;
        EXPECT_TRUE(r.error.contains(QLatin1String(row.error))) << row.name << ": " << r.error.toStdString();
        EXPECT_TRUE(r.image.isNull()) << row.name;
        EXPECT_FALSE(tree.exists(QStringLiteral("program/temp.bmp"))) << row.name;
        if (!row.keepGoing) {
            // The device scans again afterwards, into the work file.
            const ScanOutcome again = AcquireToWorkFile({});
            ASSERT_EQ(again.status, ScanOutcome::Done) << row.name << ": " << again.error.toStdString();
            QImage written;
            ASSERT_TRUE(written.load(tree.path(QStringLiteral("program/temp.bmp")), "BMP"));
            EXPECT_GT(written.width(), 31);
            EXPECT_EQ(written.pixel(0, 0), qRgb(85, 85, 85));
        }
    }
}
