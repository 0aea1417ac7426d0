#include "assets/AssetPrintLayout.h"

#include <algorithm>

namespace assets {

AssetPrintLayout LayOutAssetPrint(const QList<int>& columnWidths, int rowCount, const PrintPageMetrics& page)
{
    AssetPrintLayout l;
    const qsizetype n = columnWidths.size();
    const int width = std::max(page.pageWidth, 0);
    // Sum wide, so that no width list can overflow.
    long long total = 0;
    for (int w : columnWidths)
        total += std::max(w, 0);
    long long before = 0;
    int left = 0;
    for (qsizetype i = 0; i < n; ++i) {
        before += total > 0 ? std::max(columnWidths[i], 0) : 1;
        const long long whole = total > 0 ? total : n;
        // Each right edge is rounded from the running sum, so the columns close up exactly.
        const int right = int((before * width + whole / 2) / whole);
        l.columns.append({left, right - left});
        left = right;
    }

    l.lineHeight = std::max(page.lineHeight, 1);
    l.headerTop = 0;
    l.rowsTop = l.lineHeight;
    l.footerTop = std::max(page.pageHeight - std::max(page.footerHeight, 0), 0);
    const int room = l.footerTop - l.rowsTop;
    l.rowsPerPage = std::max(room / l.lineHeight, 1);
    const int rows = std::max(rowCount, 0);
    l.pageCount = std::max((rows + l.rowsPerPage - 1) / l.rowsPerPage, 1);
    return l;
}

PageRows RowsOfPage(const AssetPrintLayout& layout, int rowCount, int page)
{
    if (page < 1 || layout.rowsPerPage < 1)
        return {};
    const long long first = (long long)(page - 1) * layout.rowsPerPage;
    if (first >= rowCount)
        return {};
    return {int(first), int(std::min<long long>(layout.rowsPerPage, rowCount - first))};
}

FooterParts FooterText(const QString& format, int page)
{
    const QStringList parts = format.split(QLatin1Char('|'));
    const QString number = QString::number(page);
    const auto part = [&](int i) {
        return i < parts.size() ? QString(parts[i]).replace(QStringLiteral("%d"), number) : QString();
    };
    return {part(0), part(1), part(2)};
}

QString PageProgressText(int page, int pageCount)
{
    return QStringLiteral("Saving Page ") + QString::number(page) + QStringLiteral(" Of ") + QString::number(pageCount);
}

void LayOutPreviewArea(int innerWidth, int innerHeight, int exitBottom, TwipsRect& preview)
{
    preview.Left = 150;
    if (innerWidth - 300 < 0)
        return;
    preview.Width = innerWidth - 300;
    preview.Top = exitBottom + 100;
    if (innerHeight - preview.Top < 0)
        return;
    preview.Height = innerHeight - preview.Top;
}

} // namespace assets
