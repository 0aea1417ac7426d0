#include "common/FlexGridWidget.h"

#include "common/FileProcs.h"
#include "common/VbError.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>

#include <algorithm>

namespace {

constexpr Qt::ItemFlags kCellFlags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;

} // namespace

FlexGridWidget::FlexGridWidget(QWidget* parent) : QTableWidget(parent)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(8.25);
    setFont(font);
    horizontalHeader()->setFont(font);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setWordWrap(false);
}

void FlexGridWidget::setColumns(const QList<FlexGridColumn>& columns)
{
    setColumnCount(int(columns.size()));
    const int charWidth = QFontMetrics(font()).horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < int(columns.size()); ++c) {
        auto* item = new QTableWidgetItem(columns[c].header);
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setHorizontalHeaderItem(c, item);
        setColumnWidth(c, columns[c].widthChars * charWidth + 8);
    }
}

void FlexGridWidget::setRows(int rows)
{
    setRowCount(std::max(rows, 1) - 1);
}

QTableWidgetItem* FlexGridWidget::cellItem(int tableRow, int col)
{
    QTableWidgetItem* cell = item(tableRow, col);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setFlags(kCellFlags);
        setItem(tableRow, col, cell);
    }
    return cell;
}

void FlexGridWidget::AddItem(const QString& tabText)
{
    const int tableRow = rowCount();
    insertRow(tableRow);
    const QStringList fields = tabText.split(QLatin1Char('\t'));
    const int cols = std::min(columnCount(), int(fields.size()));
    for (int c = 0; c < cols; ++c) {
        auto* cell = new QTableWidgetItem(fields[c]);
        cell->setFlags(kCellFlags);
        setItem(tableRow, c, cell);
    }
}

QString FlexGridWidget::TextMatrix(int row, int col) const
{
    if (col < 0 || col >= columnCount())
        return QString();
    if (row == 0) {
        const QTableWidgetItem* header = horizontalHeaderItem(col);
        return header ? header->text() : QString();
    }
    const QTableWidgetItem* cell = row > 0 ? item(row - 1, col) : nullptr;
    return cell ? cell->text() : QString();
}

void FlexGridWidget::setTextMatrix(int row, int col, const QString& text)
{
    if (row < 0 || row >= Rows() || col < 0 || col >= columnCount())
        throw VbError(9);
    if (row == 0) {
        QTableWidgetItem* header = horizontalHeaderItem(col);
        if (!header) {
            header = new QTableWidgetItem;
            setHorizontalHeaderItem(col, header);
        }
        header->setText(text);
        return;
    }
    cellItem(row - 1, col)->setText(text);
}

int FlexGridWidget::Row() const
{
    return currentRow() + 1;
}

int FlexGridWidget::Col() const
{
    return std::max(currentColumn(), 0);
}

void FlexGridWidget::setRow(int row)
{
    if (row < 1 || row >= Rows())
        throw VbError(9);
    setCurrentCell(row - 1, Col(), QItemSelectionModel::NoUpdate);
}

void FlexGridWidget::setCol(int col)
{
    if (col < 0 || col >= columnCount())
        throw VbError(9);
    if (currentRow() < 0)
        return;
    setCurrentCell(currentRow(), col, QItemSelectionModel::NoUpdate);
}

void FlexGridWidget::Select(int row, int col)
{
    if (row < 1 || row >= Rows() || col < 0 || col >= columnCount())
        throw VbError(9);
    setCurrentCell(row - 1, col, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QList<int> FlexGridWidget::selectedRowNumbers() const
{
    QList<int> rows;
    const QModelIndexList picked = selectionModel()->selectedRows();
    rows.reserve(picked.size());
    for (const QModelIndex& index : picked)
        rows.append(index.row() + 1);
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool FlexGridWidget::IsSelected(int row) const
{
    return row >= 1 && row < Rows() && selectionModel()->isRowSelected(row - 1, QModelIndex());
}

void FlexGridWidget::clearCells()
{
    clearContents();
}

QList<QStringList> FlexGridWidget::savedRows() const
{
    QList<QStringList> rows;
    rows.reserve(Rows());
    for (int r = 0; r < Rows(); ++r) {
        QStringList cells;
        cells.reserve(columnCount());
        for (int c = 0; c < columnCount(); ++c)
            cells.append(TextMatrix(r, c));
        rows.append(cells);
    }
    return rows;
}

bool FlexGridWidget::SaveGrid(const QString& path, grid::TextFormat format) const
{
    return WriteTextFile(path, grid::gridText(savedRows(), format));
}

void FlexGridWidget::mousePressEvent(QMouseEvent* event)
{
    if (pressesIgnored_) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    emit pressed(index.isValid() ? index.row() + 1 : 0, index.isValid() ? index.column() : 0);
}
