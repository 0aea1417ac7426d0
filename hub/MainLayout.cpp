#include "hub/MainLayout.h"

#include "common/Vb.h"

namespace hub {

namespace {

int scaled(double factor, int twips)
{
    return int(vb::Round(factor * twips));
}

} // namespace

MainWindowLayout MainWindowDesign()
{
    MainWindowLayout d;
    // Text page: the file-name row above the text.
    d.Label1 = {615, 0, 1020, 255};
    d.Text1 = {570, 0, 0, 345};
    d.Command1 = {570, 0, 1500, 345};
    d.Command7 = {570, 0, 1350, 345};
    // Tree page: the file name, then the tree with the attribute, search and text frames.
    d.Label3 = {615, 0, 1020, 255};
    d.Label2 = {615, 1810, 0, 255};

    d.lblNames = {330, 120, 660, 255};
    d.lstAttributes = {300, 840, 0, 1500};
    d.lblValue = {1890, 120, 660, 255};
    d.txtAttributeValue = {2160, 120, 0, 345};
    d.cmdAdd = {2640, 120, 960, 345};
    d.cmdDel = {2640, 1125, 960, 345};
    d.cmdRename = {2640, 2130, 960, 345};

    d.Text2 = {300, 120, 0, 345};
    d.Command2 = {720, 120, 1200, 345};
    d.Command3 = {720, 1380, 1200, 345};
    d.Command4 = {1125, 120, 1125, 345};
    d.Check1 = {1155, 1305, 1950, 285};
    d.Text3 = {1530, 120, 3000, 345};
    d.Command5 = {1935, 120, 1200, 345};
    d.Command6 = {1935, 1380, 1200, 345};

    d.lblText = {360, 120, 600, 255};
    d.txtCharacters = {270, 720, 0, 600};

    LayOutMainWindow(DesignWindowWidth, DesignWindowHeight, d);
    return d;
}

void LayOutMainWindow(int windowWidth, int windowHeight, MainWindowLayout& l)
{
    TwipsRect& tab = l.SSTab1;
    tab.Top = 250;
    tab.Left = 120;
    setTwipsSize(tab.Width, windowWidth - 400);
    setTwipsSize(tab.Height, windowHeight - 1400);

    for (TwipsRect* frame : {&l.Frame1, &l.Frame2}) {
        frame->Top = tab.Top + 500;
        frame->Left = tab.Left + 360;
        setTwipsSize(frame->Width, tab.Width - 800);
        setTwipsSize(frame->Height, tab.Height - 1500);
    }

    TwipsRect& text = l.RichTextBox1;
    text.Top = l.Frame1.Top + 600;
    text.Left = l.Frame1.Left + 260;
    setTwipsSize(text.Width, l.Frame1.Width - 1200);
    setTwipsSize(text.Height, l.Frame1.Height - 2000);

    l.Label1.Left = text.Left;

    l.Text1.Left = l.Label1.Left + l.Label1.Width + 50;
    setTwipsSize(l.Text1.Width, text.Width - (l.Label1.Width + 150) - (l.Command1.Width + 150 + l.Command7.Width));

    l.Label3.Top = l.Label1.Top;
    l.Label3.Left = text.Left;

    l.Label2.Top = l.Label3.Top;
    setTwipsSize(l.Label2.Width, text.Width - (l.Label3.Width + 50));

    l.Command1.Top = l.Text1.Top;
    l.Command1.Left = l.Text1.Left + l.Text1.Width + 150;

    l.Command7.Top = l.Command1.Top;
    l.Command7.Left = l.Command1.Left + l.Command1.Width + 50;

    TwipsRect& tree = l.trevwContents;
    tree.Top = l.Frame2.Top + l.Label2.Height + 30;
    tree.Left = l.Frame2.Left + 100;
    setTwipsSize(tree.Width, scaled(0.7, l.Frame2.Width));
    setTwipsSize(tree.Height, l.Frame2.Height - 2500);

    TwipsRect& attribs = l.fraAttribs;
    attribs.Top = tree.Top;
    attribs.Left = tree.Left + tree.Width + 50;
    setTwipsSize(attribs.Width, l.Frame2.Width - tree.Width - 1000);
    setTwipsSize(attribs.Height, scaled(0.6, tree.Height));

    l.Frame3.Top = attribs.Top + attribs.Height + 50;
    l.Frame3.Left = attribs.Left;
    setTwipsSize(l.Frame3.Width, attribs.Width);
    setTwipsSize(l.Frame3.Height, tree.Height - attribs.Height - 50);

    l.fraChars.Top = tree.Top + tree.Height + 50;
    l.fraChars.Left = tree.Left;
    setTwipsSize(l.fraChars.Width, l.Frame2.Width - 1500);
    setTwipsSize(l.fraChars.Height, l.Frame2.Height - (tree.Height + 1500));

    setTwipsSize(l.lstAttributes.Width, attribs.Width - 1000);
    setTwipsSize(l.txtAttributeValue.Width, attribs.Width - 250);
    setTwipsSize(l.txtCharacters.Width, l.fraChars.Width - 1000);
    setTwipsSize(l.Text2.Width, l.Frame3.Width - 250);
}

} // namespace hub
