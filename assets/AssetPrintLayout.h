#pragma once
// The page layout of the asset list's print preview, free of widgets: the grid's columns
// spread over the page width in the proportions they have in the grid, a header line at the
// top of every page, as many rows as fit above the footer, and the footer's parts. All sizes
// are in the printer's device units. The layout is arithmetic on the row count (no walk over
// the rows), so a list of any length is paged at once.

#include "common/Twips.h"

#include <QList>
#include <QString>

namespace assets {

// The footer format of every page: left, centre and right parts split by "|", "%d" the
// page number.
inline constexpr const char* AssetPrintFooter = "||Page %d";

struct PrintPageMetrics {
    int pageWidth = 0;    // printable width
    int pageHeight = 0;   // printable height
    int lineHeight = 0;   // one grid line (header or row)
    int footerHeight = 0; // the band kept free for the footer at the bottom
};

struct PrintColumn {
    int left = 0;
    int width = 0;
};

struct AssetPrintLayout {
    QList<PrintColumn> columns; // left to right; the last one ends at the page width
    int lineHeight = 0;
    int headerTop = 0;   // the header line's top
    int rowsTop = 0;     // the first row's top
    int footerTop = 0;   // the footer band's top
    int rowsPerPage = 0; // at least 1
    int pageCount = 0;   // at least 1: an empty list prints its header
};

// Lays out rowCount rows of a grid whose columns have these widths (any unit; only their
// proportions count). Negative widths count as 0; when all are 0 the columns share the width
// equally.
AssetPrintLayout LayOutAssetPrint(const QList<int>& columnWidths, int rowCount, const PrintPageMetrics& page);

// The rows on a page (from 1): the index of its first row (from 0) and how many; a page
// beyond the last has none (0, 0).
struct PageRows {
    int first = 0;
    int count = 0;
};
PageRows RowsOfPage(const AssetPrintLayout& layout, int rowCount, int page);

// The left, centre and right texts of a footer format for a page: "|" splits the parts,
// "%d" in each becomes the page number; parts beyond the third are dropped.
struct FooterParts {
    QString left;
    QString centre;
    QString right;
};
FooterParts FooterText(const QString& format, int page);

// The page progress text, e.g. "Saving Page 2 Of 350".
QString PageProgressText(int page, int pageCount);

// The preview window's resize (twips): the preview area 150 from the left and right edges of
// the window's inner area, its top 100 below the bottom of the "&Exit" button, its height the
// rest of the inner height. The sizes are assigned in that order; a width or height that
// would be negative ends the resize there, and the values already set stay.
void LayOutPreviewArea(int innerWidth, int innerHeight, int exitBottom, TwipsRect& preview);

} // namespace assets
