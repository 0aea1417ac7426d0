#include "assets/fEZPrint.h"

#include "assets/AssetPrintLayout.h"
#include "assets/frmAssets.h"
#include "common/FlexGridWidget.h"
#include "common/PrinterDialogWidgets.h"
#include "common/SharedState.h"
#include "common/Twips.h"
#include "platform/OneWindow.h"
#include "platform/QtUiScreenFit.h"
#include "platform/QtUiWindowLife.h"
#include "platform/Ui.h"
#include "common/WindowPartsWidgets.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QResizeEvent>
#include <QToolBar>

#include <algorithm>
#include <cmath>

namespace {

platform::OneWindow<fEZPrint> loadedWindow;

// The print source of the asset list window's grid.
constexpr int AssetGridSource = 5;

QFont serifFont(qreal points)
{
    QFont font(QStringLiteral("MS Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    return font;
}

} // namespace

fEZPrint* fEZPrint::showWindow(QWidget* parent)
{
    if (fEZPrint* window = loadedWindow.loaded()) {
        platform::bringToFront(window);
        return window;
    }
    QPointer<fEZPrint> window(&loadedWindow.show([parent] { return new fEZPrint(parent); }));
    window->Form_Load();
    return window.data(); // null when the load ended in the window's closing
}

fEZPrint* fEZPrint::loaded()
{
    return loadedWindow.loaded();
}

void fEZPrint::setPrinterDialog(PrinterDialog dialog)
{
    PrinterDialogOf<fEZPrint>::set(std::move(dialog));
}

fEZPrint::fEZPrint(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("fEZPrint"));
    setWindowTitle(QStringLiteral("Print Preview"));
    loadedWindow.take(this);

    Command1 = windowparts::makeButton(this, QStringLiteral("Command1"), QStringLiteral("Pre&view"));
    Command2 = windowparts::makeButton(this, QStringLiteral("Command2"), QStringLiteral("&Exit"));
    Command5 = windowparts::makeButton(this, QStringLiteral("Command5"), QStringLiteral("Cancel"));
    Label1 = windowparts::makeNamed<QLabel>(this, "Label1");
    Command1->setGeometry(10, 7, 81, 25);
    Command2->setGeometry(100, 7, 81, 25);
    Command5->setGeometry(190, 7, 81, 25);
    Label1->setGeometry(280, 7, 200, 25);

    previewPrinter_ = new QPrinter(QPrinter::HighResolution);
    previewPrinter_->setPageOrientation(QPageLayout::Landscape);
    VSPrinter = new QPrintPreviewWidget(previewPrinter_, this);
    VSPrinter->setObjectName(QStringLiteral("VSPrinter"));
    connect(VSPrinter, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) { paintDocument(printer); });

    ToolBar1 = windowparts::makeNamed<QToolBar>(this, "ToolBar1");
    ToolBar1->setGeometry(490, 4, 260, 31);
    PrintAction = ToolBar1->addAction(QStringLiteral("Print"), this, [this] { printDocument(); });
    ToolBar1->addAction(QStringLiteral("Zoom In"), VSPrinter, [this] { VSPrinter->zoomIn(); });
    ToolBar1->addAction(QStringLiteral("Zoom Out"), VSPrinter, [this] { VSPrinter->zoomOut(); });
    ToolBar1->addAction(QStringLiteral("Fit Page"), VSPrinter, [this] { VSPrinter->fitInView(); });
    // As wide as its buttons need in this font, so that none goes behind the overflow.
    ToolBar1->resize(std::max(ToolBar1->width(), ToolBar1->sizeHint().width()), ToolBar1->height());

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });

    resize(800, 600);
    platform::openOnScreen(this);
    Form_Resize();
}

fEZPrint::~fEZPrint()
{
    loadedWindow.forget(this);
    delete VSPrinter; // before the printer it paints on
    VSPrinter = nullptr;
    delete previewPrinter_;
}

void fEZPrint::Form_Load()
{
    Command1->show();
    Command1_Click();
}

void fEZPrint::Command1_Click()
{
    Command1->hide();
    // A build while one runs (window events are processed between pages).
    if (building_) {
        QApplication::beep();
        return;
    }
    if (shared().PrintSource == AssetGridSource)
        RenderAssetGrid();
}

void fEZPrint::RenderAssetGrid()
{
    CancelRequested = false;
    columnWidths_.clear();
    header_.clear();
    rows_.clear();
    if (const frmAssets* assetsWindow = frmAssets::loaded()) {
        const FlexGridWidget* grid = assetsWindow->VsFg1;
        QList<QStringList> saved = grid->savedRows();
        if (!saved.isEmpty())
            header_ = saved.takeFirst();
        rows_ = std::move(saved);
        for (int c = 0; c < grid->Cols(); ++c)
            columnWidths_.append(grid->isColumnHidden(c) ? 0 : grid->columnWidth(c));
    }
    haveDocument_ = false;
    documentPages_ = 0;
    documentRows_ = 0;
    building_ = true;
    ToolBar1->setEnabled(false);
    VSPrinter->updatePreview();
    if (platform::isUnloaded(this))
        return;
    building_ = false;
    haveDocument_ = true;
    ToolBar1->setEnabled(true);
    if (exitRequested_)
        close();
}

void fEZPrint::paintDocument(QPrinter* printer)
{
    if (!building_ && !haveDocument_)
        return; // nothing built yet
    const QFont gridFont = serifFont(8);
    const QFont footerFont = serifFont(7);
    const QFontMetrics gridMetrics(gridFont, printer);
    const QFontMetrics footerMetrics(footerFont, printer);
    const QRect paintRect = printer->pageLayout().paintRectPixels(printer->resolution());

    assets::PrintPageMetrics metrics;
    metrics.pageWidth = paintRect.width();
    metrics.pageHeight = paintRect.height();
    metrics.lineHeight = gridMetrics.lineSpacing() + gridMetrics.height() / 3;
    metrics.footerHeight = footerMetrics.lineSpacing() * 2;
    // A build pages the whole grid; printing pages again, for its own paper, the rows the
    // build put into the document.
    const int rowCount = building_ ? int(rows_.size()) : documentRows_;
    const assets::AssetPrintLayout layout = assets::LayOutAssetPrint(columnWidths_, rowCount, metrics);
    const int pad = std::max(gridMetrics.averageCharWidth() / 2, 1);
    const QString footerFormat = QString::fromLatin1(assets::AssetPrintFooter);

    const auto drawLine = [&](QPainter& painter, const QStringList& cells, int top) {
        for (qsizetype c = 0; c < layout.columns.size(); ++c) {
            const assets::PrintColumn& col = layout.columns[c];
            if (col.width <= 2 * pad || c >= cells.size())
                continue;
            painter.drawText(QRect(col.left + pad, top, col.width - 2 * pad, layout.lineHeight),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, cells[c]);
        }
    };

    QPainter painter;
    if (!painter.begin(printer))
        return;
    int painted = 0;
    int rowsPainted = 0;
    for (int page = 1; page <= layout.pageCount; ++page) {
        if (page > 1 && !printer->newPage())
            break;
        painter.setFont(gridFont);
        drawLine(painter, header_, layout.headerTop);
        painter.drawLine(0, layout.rowsTop - 1, metrics.pageWidth, layout.rowsTop - 1);
        const assets::PageRows rows = assets::RowsOfPage(layout, rowCount, page);
        for (int i = 0; i < rows.count; ++i)
            drawLine(painter, rows_[rows.first + i], layout.rowsTop + i * layout.lineHeight);
        painter.setFont(footerFont);
        const assets::FooterParts footer = assets::FooterText(footerFormat, page);
        const QRect band(0, layout.footerTop, metrics.pageWidth, metrics.pageHeight - layout.footerTop);
        painter.drawText(band, Qt::AlignLeft | Qt::AlignBottom, footer.left);
        painter.drawText(band, Qt::AlignHCenter | Qt::AlignBottom, footer.centre);
        painter.drawText(band, Qt::AlignRight | Qt::AlignBottom, footer.right);
        painted = page;
        rowsPainted = rows.first + rows.count;
        if (building_) {
            bool cancel = false;
            VSPrinter_PageProgress(page, layout.pageCount, cancel);
            if (platform::isUnloaded(this))
                return;
            if (cancel)
                break;
        }
    }
    painter.end();
    if (building_) {
        documentPages_ = painted;
        documentRows_ = rowsPainted;
    }
}

void fEZPrint::VSPrinter_PageProgress(int page, int pageCount, bool& cancel)
{
    Label1->setText(assets::PageProgressText(page, pageCount));
    emit pageProgress(page, pageCount);
    ui().doEvents();
    if (platform::isUnloaded(this))
        return;
    if (CancelRequested) {
        cancel = true;
        Command5->hide();
    }
    if (exitRequested_)
        cancel = true;
}

void fEZPrint::Command5_Click()
{
    CancelRequested = true;
}

void fEZPrint::Command2_Click()
{
    close();
}

void fEZPrint::closeEvent(QCloseEvent* event)
{
    // Not in the middle of a build: the output stops and the window goes when it has ended.
    if (building_) {
        exitRequested_ = true;
        event->ignore();
        return;
    }
    event->accept();
    loadedWindow.forget(this);
}

void fEZPrint::printDocument()
{
    if (building_ || !haveDocument_)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!PrinterDialogOf<fEZPrint>::ask(printer, this))
        return;
    paintDocument(&printer);
}

void fEZPrint::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void fEZPrint::Form_Resize()
{
    const QRect exit = Command2->geometry();
    assets::LayOutPreviewArea(width() * TwipsPerPixel, height() * TwipsPerPixel,
                              (exit.y() + exit.height()) * TwipsPerPixel, previewArea_);
    windowparts::place(VSPrinter, previewArea_);
}
