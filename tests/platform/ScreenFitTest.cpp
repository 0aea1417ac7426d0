// Where a window opens: on the screen it overlaps most (else the primary), no larger than that
// screen's available area and wholly on it.

#include "platform/ScreenFit.h"

#include <gtest/gtest.h>

using platform::FitOnScreens;

namespace {

// A 1366 by 768 laptop screen with a 30-pixel panel at the top (primary), and a 1920 by 1080
// screen to its right, lower by 100 pixels.
const QRect Laptop(0, 30, 1366, 738);
const QRect Right(1366, 100, 1920, 1080);

struct Row {
    const char* what;
    QRect window;
    QList<QRect> screens;
    QRect expected;
};

} // namespace

TEST(ScreenFit, EveryCase)
{
    const QList<QRect> both{Laptop, Right};
    const std::vector<Row> rows = {
        {"fits: unchanged", QRect(100, 80, 800, 600), both, QRect(100, 80, 800, 600)},
        {"exactly the area", Laptop, both, Laptop},
        // The hub at its design size (16800 x 12600 twips) on the laptop: too tall.
        {"too tall", QRect(80, 40, 1120, 840), both, QRect(80, 30, 1120, 738)},
        {"too wide and too tall", QRect(10, 40, 2000, 900), both, QRect(0, 30, 1366, 738)},
        {"hangs over the right edge", QRect(1000, 100, 600, 400), {Laptop}, QRect(766, 100, 600, 400)},
        {"hangs over the left and top edges", QRect(-50, 0, 600, 400), both, QRect(0, 30, 600, 400)},
        {"hangs over the bottom edge", QRect(100, 600, 600, 400), {Laptop}, QRect(100, 368, 600, 400)},
        // Mostly on the second screen: it stays there.
        {"mostly on the second screen", QRect(1300, 200, 800, 600), both, QRect(1366, 200, 800, 600)},
        {"too large for the second screen", QRect(1500, 50, 2500, 1500), both, Right},
        // Off every screen: onto the primary one, the nearest place there.
        {"far to the left", QRect(-30000, 40, 800, 600), both, QRect(0, 40, 800, 600)},
        {"far below", QRect(200, 20000, 800, 600), both, QRect(200, 168, 800, 600)},
        {"in the gap above the second screen", QRect(1400, 0, 300, 90), both, QRect(1066, 30, 300, 90)},
        {"off every screen: the first listed is the primary", QRect(-5000, -5000, 400, 300), {Right, Laptop},
         QRect(1366, 100, 400, 300)},
        // A tie between two screens goes to the earlier one.
        {"half on each", QRect(1266, 300, 200, 100), both, QRect(1166, 300, 200, 100)},
        // Nothing to fit to, or nothing to fit.
        {"no screens", QRect(-30000, 40, 5000, 4000), {}, QRect(-30000, 40, 5000, 4000)},
        {"only empty screens", QRect(-30000, 40, 5000, 4000), {QRect()}, QRect(-30000, 40, 5000, 4000)},
        {"empty window", QRect(-30000, 40, 0, 400), both, QRect(-30000, 40, 0, 400)},
    };
    for (const Row& row : rows) {
        const QRect got = FitOnScreens(row.window, row.screens);
        EXPECT_EQ(got, row.expected) << row.what;
    }
}
