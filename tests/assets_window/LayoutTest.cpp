// The asset list window's layout in twips: places for a window size computed from the
// places before, and sizes that would be negative kept as they were.

#include "assets/AssetsLayout.h"
#include "support/LayoutRows.h"

#include <gtest/gtest.h>

#include <vector>

using assets::AssetsWindowLayout;

namespace {

using Row = LayoutRow<AssetsWindowLayout, TwipsRect>;

const auto expectRows = &expectLayoutRows<AssetsWindowLayout, TwipsRect>;

TEST(AssetsLayout, PlacesEveryControlForTheWindowSize)
{
    AssetsWindowLayout l = assets::AssetsWindowDesign();
    assets::LayOutAssetsWindow(12000, 9000, l);
    // Frame1: (12000 - 240) / 1.75 - 200 wide, 9000 / 2.5 high; the lists 6520 / 2.5 wide and
    // 0.65 of the frame high; the button column 150 right of File1; the preview centred at
    // 120 + 6520 + (12000 - 6520) / 2.
    expectRows(l,
               {
                   {"Frame1", &AssetsWindowLayout::Frame1, {240, 120, 6520, 3600}},
                   {"Drive1", &AssetsWindowLayout::Drive1, {495, 120, 2608, 315}},
                   {"Dir1", &AssetsWindowLayout::Dir1, {900, 120, 2608, 2340}},
                   {"File1", &AssetsWindowLayout::File1, {900, 2828, 2608, 2340}},
                   {"Text2", &AssetsWindowLayout::Text2, {3440, 120, 5316, 315}},
                   {"Text1", &AssetsWindowLayout::Text1, {495, 2828, 1200, 315}},
                   {"Text5", &AssetsWindowLayout::Text5, {495, 4128, 1308, 315}},
                   {"Label6", &AssetsWindowLayout::Label6, {240, 4128, 1308, 255}},
                   {"Command1", &AssetsWindowLayout::Command1, {495, 5586, 1695, 375}},
                   {"Command9", &AssetsWindowLayout::Command9, {930, 5586, 1695, 375}},
                   {"Command2", &AssetsWindowLayout::Command2, {1365, 5586, 1695, 375}},
                   {"Command3", &AssetsWindowLayout::Command3, {1800, 5586, 1695, 375}},
                   {"Command4", &AssetsWindowLayout::Command4, {2235, 5586, 1695, 375}},
                   {"Command5", &AssetsWindowLayout::Command5, {2670, 5586, 1695, 375}},
                   {"Label5", &AssetsWindowLayout::Label5, {3165, 5586, 1695, 255}},
                   // The level-of-detail boxes and labels 100 right of the button column.
                   {"Label1", &AssetsWindowLayout::Label1, {3440, 5686, 800, 255}},
                   {"Text3", &AssetsWindowLayout::Text3, {3700, 5686, 800, 315}},
                   {"Label2", &AssetsWindowLayout::Label2, {4030, 5686, 800, 255}},
                   {"Text4", &AssetsWindowLayout::Text4, {4290, 5686, 800, 315}},
                   {"Picture1", &AssetsWindowLayout::Picture1, {240, 7580, 3600, 3600}},
                   {"Frame2", &AssetsWindowLayout::Frame2, {240, 7580, 3600, 3600}},
                   {"VsFg1", &AssetsWindowLayout::VsFg1, {4140, 120, 11600, 3600}},
               },
               "12000 x 9000");

    // Fractions round to the nearest twip: (10000 - 240) / 1.75 - 200 = 5377.14, divided by
    // 2.5 2150.86; 9001 / 2.5 = 3600.4.
    assets::LayOutAssetsWindow(10000, 9001, l);
    expectRows(l,
               {
                   {"Frame1", &AssetsWindowLayout::Frame1, {240, 120, 5377, 3600}},
                   {"Dir1", &AssetsWindowLayout::Dir1, {900, 120, 2151, 2340}},
                   {"Drive1", &AssetsWindowLayout::Drive1, {495, 120, 2151, 315}},
                   {"File1", &AssetsWindowLayout::File1, {900, 2371, 2151, 2340}},
               },
               "10000 x 9001");
}

TEST(AssetsLayout, KeepsSizesThatWouldBeNegative)
{
    const AssetsWindowLayout design = assets::AssetsWindowDesign();
    // At the design size: Frame1 10634 by 4608, the category box 2954 wide, the grid 5112 high.
    ASSERT_EQ(design.Frame1.Width, 10634);
    ASSERT_EQ(design.Text5.Width, 2954);
    ASSERT_EQ(design.VsFg1.Height, 5112);

    AssetsWindowLayout l = design;
    assets::LayOutAssetsWindow(3000, 2000, l);
    expectRows(l,
               {
                   {"Frame1", &AssetsWindowLayout::Frame1, {240, 120, 1377, 800}},
                   {"File1", &AssetsWindowLayout::File1, {900, 771, 551, 520}},
                   // 771 + 551 - 2071 < 0: the category box and its label keep their widths.
                   {"Text5", &AssetsWindowLayout::Text5, {495, 2071, 2954, 315}},
                   {"Label6", &AssetsWindowLayout::Label6, {240, 2071, 2954, 255}},
                   // 2000 - 800 - 1800 < 0: the grid keeps its height; 3000 - 400 is its width.
                   {"VsFg1", &AssetsWindowLayout::VsFg1, {1340, 120, 2600, 5112}},
               },
               "3000 x 2000");

    // Back at the design size, everything is where it was.
    assets::LayOutAssetsWindow(assets::AssetsDesignWidth, assets::AssetsDesignHeight, l);
    EXPECT_EQ(l.Text5, design.Text5);
    EXPECT_EQ(l.VsFg1, design.VsFg1);
    EXPECT_EQ(l.Picture1, design.Picture1);
}

} // namespace

TEST(AssetsLayout, AtTheDesignSizeTheFrameHoldsItsControls)
{
    const AssetsWindowLayout l = assets::AssetsWindowDesign();
    const std::pair<const char*, const TwipsRect*> inside[] = {
        {"Drive1", &l.Drive1},     {"Dir1", &l.Dir1},         {"File1", &l.File1},       {"Text2", &l.Text2},
        {"Text1", &l.Text1},       {"Text5", &l.Text5},       {"Command1", &l.Command1},
        {"Command3", &l.Command3}, {"Command5", &l.Command5}, {"Label5", &l.Label5},
        {"Label1", &l.Label1},     {"Text3", &l.Text3},       {"Label2", &l.Label2},
        {"Text4", &l.Text4},
    };
    for (const auto& [name, r] : inside) {
        EXPECT_LE(r->Left + r->Width, l.Frame1.Width) << name;
        EXPECT_LE(r->Top + r->Height, l.Frame1.Height) << name;
    }
}
