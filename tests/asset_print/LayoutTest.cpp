// The asset list's page layout: columns spread over the page in the grid's proportions, rows
// per page and paging, the footer's parts, the progress text and the preview window's resize.

#include "assets/AssetPrintLayout.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace assets;

struct ColumnCase {
    const char* what;
    QList<int> widths;
    int pageWidth;
    QList<int> lefts;
    QList<int> spans;
};

TEST(AssetPrintLayout, ColumnsKeepTheGridsProportionsAndFillThePageWidth)
{
    const std::vector<ColumnCase> cases = {
        {"equal halves", {100, 100}, 1000, {0, 500}, {500, 500}},
        {"proportions", {10, 30, 60}, 1000, {0, 100, 400}, {100, 300, 600}},
        {"scaled down", {1000, 3000}, 400, {0, 100}, {100, 300}},
        {"rounded edges close up", {1, 1, 1}, 100, {0, 33, 67}, {33, 34, 33}},
        {"hidden column", {50, 0, 50}, 200, {0, 100, 100}, {100, 0, 100}},
        {"negative counts as none", {-40, 40}, 300, {0, 0}, {0, 300}},
        {"all zero share equally", {0, 0, 0, 0}, 400, {0, 100, 200, 300}, {100, 100, 100, 100}},
        {"huge widths do not overflow", {2000000000, 2000000000}, 9000, {0, 4500}, {4500, 4500}},
        {"no columns", {}, 500, {}, {}},
    };
    for (const ColumnCase& c : cases) {
        const AssetPrintLayout l = LayOutAssetPrint(c.widths, 10, {c.pageWidth, 1000, 10, 20});
        QList<int> lefts, spans;
        for (const PrintColumn& col : l.columns) {
            lefts << col.left;
            spans << col.width;
        }
        EXPECT_EQ(lefts, c.lefts) << c.what;
        EXPECT_EQ(spans, c.spans) << c.what;
        if (!l.columns.isEmpty()) {
            EXPECT_EQ(l.columns.last().left + l.columns.last().width, c.pageWidth) << c.what;
        }
    }
}

struct PagingCase {
    const char* what;
    PrintPageMetrics page;
    int rows;
    int rowsPerPage;
    int pageCount;
    int footerTop;
};

TEST(AssetPrintLayout, RowsPerPageAndPageCount)
{
    const std::vector<PagingCase> cases = {
        // Header line 0..10, rows from 10, footer from 100: 9 rows a page.
        {"exact fit", {500, 120, 10, 20}, 18, 9, 2, 100},
        {"one over", {500, 120, 10, 20}, 19, 9, 3, 100},
        {"one row", {500, 120, 10, 20}, 1, 9, 1, 100},
        {"empty list prints its header", {500, 120, 10, 20}, 0, 9, 1, 100},
        {"partial line left over", {500, 125, 10, 20}, 10, 9, 2, 105},
        {"page too small still pages", {500, 15, 10, 20}, 3, 1, 3, 0},
        {"zero line height", {500, 120, 0, 20}, 5, 99, 1, 100},
        {"the list of twenty thousand", {3000, 2200, 37, 60}, 20000, 56, 358, 2140},
    };
    for (const PagingCase& c : cases) {
        const AssetPrintLayout l = LayOutAssetPrint({1, 1}, c.rows, c.page);
        EXPECT_EQ(l.rowsPerPage, c.rowsPerPage) << c.what;
        EXPECT_EQ(l.pageCount, c.pageCount) << c.what;
        EXPECT_EQ(l.footerTop, c.footerTop) << c.what;
        EXPECT_GE(l.rowsTop, l.headerTop + l.lineHeight) << c.what;
        // Every row lands on exactly one page, in order.
        int next = 0;
        for (int p = 1; p <= l.pageCount; ++p) {
            const PageRows r = RowsOfPage(l, c.rows, p);
            EXPECT_EQ(r.first, next) << c.what << " page " << p;
            EXPECT_LE(r.count, l.rowsPerPage) << c.what << " page " << p;
            next += r.count;
        }
        EXPECT_EQ(next, c.rows) << c.what;
    }
}

TEST(AssetPrintLayout, RowsOfPagesOutsideTheDocument)
{
    const AssetPrintLayout l = LayOutAssetPrint({1}, 25, {100, 120, 10, 20}); // 9 a page, 3 pages
    const struct {
        int page;
        int first;
        int count;
    } cases[] = {{1, 0, 9}, {2, 9, 9}, {3, 18, 7}, {4, 0, 0}, {0, 0, 0}, {-1, 0, 0}};
    for (const auto& c : cases) {
        const PageRows r = RowsOfPage(l, 25, c.page);
        EXPECT_EQ(r.first, c.first) << c.page;
        EXPECT_EQ(r.count, c.count) << c.page;
    }
}

TEST(AssetPrintLayout, FooterPartsAndProgressText)
{
    const struct {
        const char* format;
        int page;
        const char* left;
        const char* centre;
        const char* right;
    } cases[] = {
        {AssetPrintFooter, 1, "", "", "Page 1"},
        {AssetPrintFooter, 350, "", "", "Page 350"},
        {"%d|of|%d", 7, "7", "of", "7"},
        {"Left only", 2, "Left only", "", ""},
        {"|Middle %d", 3, "", "Middle 3", ""},
        {"a|b|c|d", 1, "a", "b", "c"},
    };
    for (const auto& c : cases) {
        const FooterParts f = FooterText(QString::fromLatin1(c.format), c.page);
        EXPECT_EQ(f.left, QString::fromLatin1(c.left)) << c.format;
        EXPECT_EQ(f.centre, QString::fromLatin1(c.centre)) << c.format;
        EXPECT_EQ(f.right, QString::fromLatin1(c.right)) << c.format;
    }
    EXPECT_EQ(PageProgressText(2, 350), QStringLiteral("Saving Page 2 Of 350"));
    EXPECT_EQ(PageProgressText(1, 1), QStringLiteral("Saving Page 1 Of 1"));
}

TEST(AssetPrintLayout, PreviewAreaOnResize)
{
    const struct {
        const char* what;
        int width, height, exitBottom;
        TwipsRect before;
        TwipsRect after; // Top, Left, Width, Height
    } cases[] = {
        {"ordinary window", 12000, 9000, 480, {}, {580, 150, 11700, 8420}},
        {"width exactly the margins", 300, 9000, 480, {}, {580, 150, 0, 8420}},
        {"too narrow: stops before the width", 299, 9000, 480, {7, 8, 9, 10}, {7, 150, 9, 10}},
        {"too low: stops before the height", 12000, 500, 480, {7, 8, 9, 10}, {580, 150, 11700, 10}},
    };
    for (const auto& c : cases) {
        TwipsRect r = c.before;
        LayOutPreviewArea(c.width, c.height, c.exitBottom, r);
        EXPECT_EQ(r.Top, c.after.Top) << c.what;
        EXPECT_EQ(r.Left, c.after.Left) << c.what;
        EXPECT_EQ(r.Width, c.after.Width) << c.what;
        EXPECT_EQ(r.Height, c.after.Height) << c.what;
    }
}

} // namespace
