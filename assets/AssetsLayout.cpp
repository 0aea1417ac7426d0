#include "assets/AssetsLayout.h"

#include "common/Vb.h"

namespace assets {

namespace {

int rounded(double twips)
{
    return int(vb::Round(twips));
}

int rightOf(const TwipsRect& r)
{
    return r.Left + r.Width;
}

int bottomOf(const TwipsRect& r)
{
    return r.Top + r.Height;
}

} // namespace

AssetsWindowLayout AssetsWindowDesign()
{
    AssetsWindowLayout d;
    // The pattern and category boxes above the file list, the category's label above its box.
    d.Label6 = {240, 0, 0, 255};
    d.Text1 = {495, 0, 1200, 315};
    d.Text5 = {495, 0, 0, 315};
    // The drive list above the folder list, beside the pattern box.
    d.Drive1 = {495, 120, 0, 315};
    d.Dir1 = {900, 120, 0, 0};
    d.File1 = {900, 0, 0, 0};
    d.Text2 = {0, 0, 0, 315};
    // The button column, top to bottom, and the level-of-detail boxes beside it.
    d.Command1 = {495, 0, 1695, 375};
    d.Command9 = {930, 0, 1695, 375};
    d.Command2 = {1365, 0, 1695, 375};
    d.Command3 = {1800, 0, 1695, 375};
    d.Command4 = {2235, 0, 1695, 375};
    d.Command5 = {2670, 0, 1695, 375};
    d.Label5 = {3165, 0, 1695, 255};
    // The level-of-detail boxes below the totals, each under its label.
    d.Label1 = {3440, 0, 800, 255};
    d.Text3 = {3700, 0, 800, 315};
    d.Label2 = {4030, 0, 800, 255};
    d.Text4 = {4290, 0, 800, 315};
    LayOutAssetsWindow(AssetsDesignWidth, AssetsDesignHeight, d);
    return d;
}

void LayOutAssetsWindow(int windowWidth, int windowHeight, AssetsWindowLayout& l)
{
    TwipsRect& frame = l.Frame1;
    frame.Left = 120;
    frame.Top = 240;
    setTwipsSize(frame.Width, rounded((windowWidth - 240) / 1.75 - 200));
    setTwipsSize(frame.Height, rounded(windowHeight / 2.5));

    setTwipsSize(l.Dir1.Width, rounded(frame.Width / 2.5));
    setTwipsSize(l.Dir1.Height, rounded(0.65 * frame.Height));
    setTwipsSize(l.File1.Width, rounded(frame.Width / 2.5));
    setTwipsSize(l.File1.Height, rounded(0.65 * frame.Height));
    l.File1.Left = rightOf(l.Dir1) + 100;
    l.Drive1.Left = l.Dir1.Left;
    setTwipsSize(l.Drive1.Width, l.Dir1.Width);

    l.Text2.Left = l.Dir1.Left;
    setTwipsSize(l.Text2.Width, l.Dir1.Width + l.File1.Width + 100);
    l.Text2.Top = bottomOf(l.File1) + 200;

    l.Text1.Left = l.File1.Left;
    l.Text5.Left = rightOf(l.Text1) + 100;
    setTwipsSize(l.Text5.Width, rightOf(l.File1) - l.Text5.Left);
    l.Label6.Left = l.Text5.Left;
    l.Label6.Width = l.Text5.Width;

    const int column = rightOf(l.File1) + 150;
    for (TwipsRect* button : {&l.Command1, &l.Command9, &l.Command2, &l.Command3, &l.Command4, &l.Command5})
        button->Left = column;
    l.Label5.Left = column;
    for (TwipsRect* lod : {&l.Label1, &l.Text3, &l.Label2, &l.Text4})
        lod->Left = column + 100;

    TwipsRect& picture = l.Picture1;
    picture.Top = 240;
    setTwipsSize(picture.Width, frame.Height);
    setTwipsSize(picture.Height, frame.Height);
    const double centre = frame.Left + frame.Width + (windowWidth - frame.Width) / 2.0;
    picture.Left = rounded(centre - picture.Width / 2.0);
    l.Frame2 = picture;

    TwipsRect& grid = l.VsFg1;
    grid.Left = frame.Left;
    grid.Top = bottomOf(frame) + 300;
    setTwipsSize(grid.Width, windowWidth - 400);
    setTwipsSize(grid.Height, windowHeight - frame.Height - 1800);
}

} // namespace assets
