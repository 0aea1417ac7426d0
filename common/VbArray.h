#pragma once
// Arrays with the run-time's bounds: an explicit lower and upper bound, ReDim (fresh values)
// and ReDim Preserve (contents kept), and error 9 "Subscript out of range" for an index
// outside the bounds. An array that holds nothing has the upper bound lower - 1, so
// "For i = LBound To UBound" loops run zero times over it.

#include "common/VbError.h"

#include <QList>
#include <QtGlobal>

template <typename T>
class VbArray {
public:
    VbArray() = default;
    VbArray(qsizetype lower, qsizetype upper) { redim(lower, upper); }

    // ReDim a(lower To upper): every entry takes its default value. upper may be
    // lower - 1 (no entries); below that raises error 9.
    void redim(qsizetype lower, qsizetype upper)
    {
        if (upper < lower - 1)
            throw VbError(9);
        lo = lower;
        items = QList<T>(upper - lower + 1);
    }
    void redim(qsizetype upper) { redim(0, upper); }

    // ReDim Preserve a(LBound To upper): the entries up to upper keep their values, new
    // ones take the default value.
    void redimPreserve(qsizetype upper)
    {
        if (upper < lo - 1)
            throw VbError(9);
        items.resize(upper - lo + 1);
    }

    // Grows by step entries at a time until index lies within the bounds (the tables that
    // are filled one entry after another grow so).
    void growFor(qsizetype index, qsizetype step)
    {
        Q_ASSERT(step > 0);
        if (index <= ubound())
            return;
        const qsizetype missing = index - ubound();
        redimPreserve(ubound() + (missing + step - 1) / step * step);
    }

    // Erase: back to no entries at lower bound 0.
    void clear()
    {
        lo = 0;
        items.clear();
    }

    qsizetype lbound() const { return lo; }
    qsizetype ubound() const { return lo + items.size() - 1; }
    qsizetype count() const { return items.size(); }
    bool isEmpty() const { return items.isEmpty(); }
    bool contains(qsizetype index) const { return index >= lo && index <= ubound(); }

    T& operator[](qsizetype index)
    {
        if (!contains(index))
            throw VbError(9);
        return items[index - lo];
    }
    const T& operator[](qsizetype index) const
    {
        if (!contains(index))
            throw VbError(9);
        return items[index - lo];
    }

    // The entries from the lower bound on.
    const QList<T>& values() const { return items; }

    friend bool operator==(const VbArray& a, const VbArray& b)
    {
        return a.lo == b.lo && a.items == b.items;
    }

private:
    qsizetype lo = 0;
    QList<T> items;
};

// A fixed two-dimensional table with bounds 0 to rows and 0 to columns.
template <typename T>
class VbTable {
public:
    VbTable(qsizetype upperRow, qsizetype upperColumn)
        : rows(upperRow + 1), columns(upperColumn + 1), items(rows * columns)
    {
    }

    T& operator()(qsizetype row, qsizetype column)
    {
        check(row, column);
        return items[row * columns + column];
    }
    const T& operator()(qsizetype row, qsizetype column) const
    {
        check(row, column);
        return items[row * columns + column];
    }

    qsizetype upperRow() const { return rows - 1; }
    qsizetype upperColumn() const { return columns - 1; }

    // Grows by step rows at a time until row lies within the bounds; every entry kept.
    void growRowsFor(qsizetype row, qsizetype step)
    {
        Q_ASSERT(step > 0);
        if (row < rows)
            return;
        rows += (row - rows + step) / step * step;
        items.resize(rows * columns);
    }

private:
    void check(qsizetype row, qsizetype column) const
    {
        if (row < 0 || row >= rows || column < 0 || column >= columns)
            throw VbError(9);
    }

    qsizetype rows;
    qsizetype columns;
    QList<T> items;
};
