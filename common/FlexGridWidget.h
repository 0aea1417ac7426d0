#pragma once
// A grid of text cells with the numbering of a flex grid: row 0 is the header (the table's
// column header), row 1 the first row of the table, and so on; columns count from 0. Rows are
// selected whole, several at a time (Shift and Ctrl extend the selection); cells cannot be
// edited by the user. Text is drawn in Courier New 8.25 pt.

#include "common/GridText.h"

#include <QList>
#include <QString>
#include <QTableWidget>

class QMouseEvent;

struct FlexGridColumn {
    QString header;
    int widthChars = 0; // initial width in characters of the grid's font
};

class FlexGridWidget : public QTableWidget {
    Q_OBJECT
public:
    explicit FlexGridWidget(QWidget* parent = nullptr);

    // Sets the header texts and the columns' initial widths; the column count follows.
    void setColumns(const QList<FlexGridColumn>& columns);
    int Cols() const { return columnCount(); }

    // The number of rows, the header included. Setting it keeps the first rows and removes or
    // appends empty ones; a value below 1 keeps just the header.
    int Rows() const { return rowCount() + 1; }
    void setRows(int rows);

    // Appends a row made of a tab-separated text: one field per column, missing fields empty,
    // fields beyond the last column dropped.
    void AddItem(const QString& tabText);

    // The text of a cell; row 0 is the header. "" outside the grid.
    QString TextMatrix(int row, int col) const;
    // Sets a cell's text; a cell outside the grid raises VbError 9 "Subscript out of range".
    void setTextMatrix(int row, int col, const QString& text);

    // The current cell (row 0 when there is none: the header).
    int Row() const;
    int Col() const;
    void setRow(int row);
    void setCol(int col);
    // The current cell's text.
    QString Text() const { return TextMatrix(Row(), Col()); }
    void setText(const QString& text) { setTextMatrix(Row(), Col(), text); }
    // Makes a cell the current one and its row the only selected one.
    void Select(int row, int col);

    // Whether a row is selected.
    bool IsSelected(int row) const;
    // The grid row numbers of the selected rows, in row order.
    QList<int> selectedRowNumbers() const;

    // Empties every cell below the header.
    void clearCells();

    // The grid's rows as they are saved: every row, the header first.
    QList<QStringList> savedRows() const;
    // Writes savedRows() as comma- or tab-separated text through WriteTextFile; false when the
    // write failed (WriteTextFile has then told the user).
    bool SaveGrid(const QString& path, grid::TextFormat format) const;

    // While set, mouse presses on the cells are swallowed: the selection stays and pressed()
    // is not emitted.
    void setPressesIgnored(bool ignored) { pressesIgnored_ = ignored; }

signals:
    // A mouse press on a cell (grid numbering; row 0 when below the last row).
    void pressed(int row, int col);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QTableWidgetItem* cellItem(int tableRow, int col);

    bool pressesIgnored_ = false;
};
