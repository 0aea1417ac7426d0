#pragma once
// Table checks of a window layout: each row names one rectangle of the layout (a member
// with Top, Left, Width and Height) and where it is expected.

#include <gtest/gtest.h>

#include <vector>

template <typename Layout, typename Rect>
struct LayoutRow {
    const char* name;
    Rect Layout::*member;
    Rect expected; // top, left, width, height
};

template <typename Layout, typename Rect>
void expectLayoutRows(const Layout& layout, const std::vector<LayoutRow<Layout, Rect>>& rows, const char* when)
{
    for (const LayoutRow<Layout, Rect>& row : rows) {
        const Rect& got = layout.*(row.member);
        EXPECT_EQ(got.Top, row.expected.Top) << row.name << " top, " << when;
        EXPECT_EQ(got.Left, row.expected.Left) << row.name << " left, " << when;
        EXPECT_EQ(got.Width, row.expected.Width) << row.name << " width, " << when;
        EXPECT_EQ(got.Height, row.expected.Height) << row.name << " height, " << when;
    }
}
