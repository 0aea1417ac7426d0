// The main window's layout: the places of both pages' controls for a window size, in twips,
// and the widgets placed there.

#include "WindowTestSupport.h"

#include "hub/MainLayout.h"
#include "hub/TextPageWidget.h"
#include "hub/xml/XmlTreeWidget.h"
#include "support/LayoutRows.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include <cmath>
#include <functional>
#include <vector>

using hub::MainWindowLayout;

namespace {

using Row = LayoutRow<MainWindowLayout, TwipsRect>;

const auto expectRows = &expectLayoutRows<MainWindowLayout, TwipsRect>;

// The rows of the layout for a window of 12000 by 9000 twips (800 by 600 pixels), controls
// at their design places before.
std::vector<Row> rowsAt12000x9000()
{
    const MainWindowLayout d = hub::MainWindowDesign();
    return {
        {"SSTab1", &MainWindowLayout::SSTab1, {250, 120, 11600, 7600}},
        {"Frame1", &MainWindowLayout::Frame1, {750, 480, 10800, 6100}},
        {"Frame2", &MainWindowLayout::Frame2, {750, 480, 10800, 6100}},
        {"RichTextBox1", &MainWindowLayout::RichTextBox1, {1350, 740, 9600, 4100}},
        {"Label1", &MainWindowLayout::Label1, {d.Label1.Top, 740, d.Label1.Width, d.Label1.Height}},
        // 9600 - (Label1 + 150) - (Command1 + 150 + Command7)
        {"Text1", &MainWindowLayout::Text1,
         {d.Text1.Top, 740 + d.Label1.Width + 50,
          9600 - (d.Label1.Width + 150) - (d.Command1.Width + 150 + d.Command7.Width), d.Text1.Height}},
        {"Label3", &MainWindowLayout::Label3, {d.Label1.Top, 740, d.Label3.Width, d.Label3.Height}},
        {"Label2", &MainWindowLayout::Label2, {d.Label1.Top, d.Label2.Left, 9600 - (d.Label3.Width + 50), d.Label2.Height}},
        // Text1's right end + 150, and Command7 after it: Command7 ends 50 before the text's right.
        {"Command1", &MainWindowLayout::Command1,
         {d.Text1.Top, 740 + 9600 - 50 - d.Command7.Width - 50 - d.Command1.Width, d.Command1.Width, d.Command1.Height}},
        {"Command7", &MainWindowLayout::Command7,
         {d.Text1.Top, 740 + 9600 - 50 - d.Command7.Width, d.Command7.Width, d.Command7.Height}},
        {"trevwContents", &MainWindowLayout::trevwContents, {750 + d.Label2.Height + 30, 580, 7560, 3600}},
        {"fraAttribs", &MainWindowLayout::fraAttribs, {750 + d.Label2.Height + 30, 8190, 2240, 2160}},
        {"Frame3", &MainWindowLayout::Frame3, {750 + d.Label2.Height + 30 + 2210, 8190, 2240, 1390}},
        {"fraChars", &MainWindowLayout::fraChars, {750 + d.Label2.Height + 30 + 3650, 580, 9300, 1000}},
        {"lstAttributes", &MainWindowLayout::lstAttributes,
         {d.lstAttributes.Top, d.lstAttributes.Left, 1240, d.lstAttributes.Height}},
        {"txtAttributeValue", &MainWindowLayout::txtAttributeValue,
         {d.txtAttributeValue.Top, d.txtAttributeValue.Left, 1990, d.txtAttributeValue.Height}},
        {"txtCharacters", &MainWindowLayout::txtCharacters,
         {d.txtCharacters.Top, d.txtCharacters.Left, 8300, d.txtCharacters.Height}},
        {"Text2", &MainWindowLayout::Text2, {d.Text2.Top, d.Text2.Left, 1990, d.Text2.Height}},
    };
}

} // namespace

TEST(MainLayout, EveryRowForTwoWindowSizes)
{
    MainWindowLayout l = hub::MainWindowDesign();
    hub::LayOutMainWindow(12000, 9000, l);
    expectRows(l, rowsAt12000x9000(), "12000 x 9000");

    // 19200 by 13500 twips (1280 by 900 pixels).
    hub::LayOutMainWindow(19200, 13500, l);
    const MainWindowLayout d = hub::MainWindowDesign();
    const int treeTop = 750 + d.Label2.Height + 30;
    expectRows(l,
               {
                   {"SSTab1", &MainWindowLayout::SSTab1, {250, 120, 18800, 12100}},
                   {"Frame1", &MainWindowLayout::Frame1, {750, 480, 18000, 10600}},
                   {"Frame2", &MainWindowLayout::Frame2, {750, 480, 18000, 10600}},
                   {"RichTextBox1", &MainWindowLayout::RichTextBox1, {1350, 740, 16800, 8600}},
                   {"Text1", &MainWindowLayout::Text1,
                    {d.Text1.Top, 740 + d.Label1.Width + 50,
                     16800 - (d.Label1.Width + 150) - (d.Command1.Width + 150 + d.Command7.Width), d.Text1.Height}},
                   {"Label2", &MainWindowLayout::Label2,
                    {d.Label1.Top, d.Label2.Left, 16800 - (d.Label3.Width + 50), d.Label2.Height}},
                   {"Command7", &MainWindowLayout::Command7,
                    {d.Text1.Top, 740 + 16800 - 50 - d.Command7.Width, d.Command7.Width, d.Command7.Height}},
                   {"trevwContents", &MainWindowLayout::trevwContents, {treeTop, 580, 12600, 8100}},
                   {"fraAttribs", &MainWindowLayout::fraAttribs, {treeTop, 13230, 4400, 4860}},
                   {"Frame3", &MainWindowLayout::Frame3, {treeTop + 4910, 13230, 4400, 3190}},
                   {"fraChars", &MainWindowLayout::fraChars, {treeTop + 8150, 580, 16500, 1000}},
                   {"lstAttributes", &MainWindowLayout::lstAttributes,
                    {d.lstAttributes.Top, d.lstAttributes.Left, 3400, d.lstAttributes.Height}},
                   {"txtAttributeValue", &MainWindowLayout::txtAttributeValue,
                    {d.txtAttributeValue.Top, d.txtAttributeValue.Left, 4150, d.txtAttributeValue.Height}},
                   {"txtCharacters", &MainWindowLayout::txtCharacters,
                    {d.txtCharacters.Top, d.txtCharacters.Left, 15500, d.txtCharacters.Height}},
                   {"Text2", &MainWindowLayout::Text2, {d.Text2.Top, d.Text2.Left, 4150, d.Text2.Height}},
               },
               "19200 x 13500");

    // The other controls keep their design places.
    EXPECT_EQ(l.cmdAdd, d.cmdAdd);
    EXPECT_EQ(l.Command6, d.Command6);
    EXPECT_EQ(l.Text3, d.Text3);
    EXPECT_EQ(l.lblText, d.lblText);
}

TEST(MainLayout, NegativeSizesAreSkippedOneByOne)
{
    MainWindowLayout l = hub::MainWindowDesign();
    hub::LayOutMainWindow(12000, 9000, l);

    // 1500 by 3990 twips: the tab control fits, the frames get their width but not their
    // height (1090 - 1500), and every size computed below them from a negative value keeps
    // its earlier value, which the controls after it are computed from.
    hub::LayOutMainWindow(1500, 3990, l);
    const MainWindowLayout d = hub::MainWindowDesign();
    const int treeTop = 750 + d.Label2.Height + 30;
    expectRows(l,
               {
                   {"SSTab1", &MainWindowLayout::SSTab1, {250, 120, 1100, 2590}},
                   {"Frame1", &MainWindowLayout::Frame1, {750, 480, 300, 1090}},
                   {"Frame2", &MainWindowLayout::Frame2, {750, 480, 300, 1090}},
                   // 300 - 1200 and 1090 - 2000: both kept.
                   {"RichTextBox1", &MainWindowLayout::RichTextBox1, {1350, 740, 9600, 4100}},
                   // computed from the kept width of the text
                   {"Text1", &MainWindowLayout::Text1,
                    {d.Text1.Top, 740 + d.Label1.Width + 50,
                     9600 - (d.Label1.Width + 150) - (d.Command1.Width + 150 + d.Command7.Width), d.Text1.Height}},
                   {"Label2", &MainWindowLayout::Label2,
                    {d.Label1.Top, d.Label2.Left, 9600 - (d.Label3.Width + 50), d.Label2.Height}},
                   // 0.7 x 300 = 210; 1090 - 2500 kept
                   {"trevwContents", &MainWindowLayout::trevwContents, {treeTop, 580, 210, 3600}},
                   // 300 - 210 - 1000 kept; 0.6 x 3600
                   {"fraAttribs", &MainWindowLayout::fraAttribs, {treeTop, 840, 2240, 2160}},
                   {"Frame3", &MainWindowLayout::Frame3, {treeTop + 2210, 840, 2240, 1390}},
                   // 300 - 1500 and 1090 - 5100 kept
                   {"fraChars", &MainWindowLayout::fraChars, {treeTop + 3650, 580, 9300, 1000}},
                   {"lstAttributes", &MainWindowLayout::lstAttributes,
                    {d.lstAttributes.Top, d.lstAttributes.Left, 1240, d.lstAttributes.Height}},
                   {"txtCharacters", &MainWindowLayout::txtCharacters,
                    {d.txtCharacters.Top, d.txtCharacters.Left, 8300, d.txtCharacters.Height}},
               },
               "1500 x 3990");

    // Too small even for the tab control: nothing changes at all.
    const MainWindowLayout before = l;
    hub::LayOutMainWindow(300, 900, l);
    EXPECT_EQ(l.SSTab1, (TwipsRect{250, 120, 1100, 2590}));
    EXPECT_EQ(l.RichTextBox1, before.RichTextBox1);
    EXPECT_EQ(l.fraChars, before.fraChars);
    // Back to a normal size, every control is where the table puts it again.
    hub::LayOutMainWindow(12000, 9000, l);
    expectRows(l, rowsAt12000x9000(), "12000 x 9000 after a tiny window");
}

TEST(MainLayout, DesignPlacesFitTheirFrames)
{
    // At the design size nothing of a frame's own controls reaches over the frame's edge.
    const MainWindowLayout d = hub::MainWindowDesign();
    const auto inside = [](const TwipsRect& c, const TwipsRect& frame, const char* name) {
        EXPECT_GE(c.Left, 0) << name;
        EXPECT_LE(c.Left + c.Width, frame.Width) << name;
        EXPECT_LE(c.Top + c.Height, frame.Height) << name;
    };
    for (const auto& [name, c] : {std::pair{"lblNames", d.lblNames}, {"lstAttributes", d.lstAttributes},
                                  {"lblValue", d.lblValue}, {"txtAttributeValue", d.txtAttributeValue},
                                  {"cmdAdd", d.cmdAdd}, {"cmdDel", d.cmdDel}, {"cmdRename", d.cmdRename}})
        inside(c, d.fraAttribs, name);
    for (const auto& [name, c] : {std::pair{"Text2", d.Text2}, {"Command2", d.Command2}, {"Command3", d.Command3},
                                  {"Command4", d.Command4}, {"Check1", d.Check1}, {"Text3", d.Text3},
                                  {"Command5", d.Command5}, {"Command6", d.Command6}})
        inside(c, d.Frame3, name);
    inside(d.lblText, d.fraChars, "lblText");
    inside(d.txtCharacters, d.fraChars, "txtCharacters");
    for (const auto& [name, c] : {std::pair{"Label1", d.Label1}, {"Text1", d.Text1}, {"Command1", d.Command1},
                                  {"Command7", d.Command7}, {"RichTextBox1", d.RichTextBox1}})
        inside(c, d.Frame1, name);
    // The file-name row stands above the text and above the tree.
    EXPECT_LE(d.Text1.Top + d.Text1.Height, d.RichTextBox1.Top);
    EXPECT_LE(d.Label2.Top + d.Label2.Height, d.trevwContents.Top);
}

// ---- the widgets ----

namespace {

struct Placed {
    const char* name;
    std::function<QWidget*(frmEditor&)> widget;
    TwipsRect MainWindowLayout::*member;
};

std::vector<Placed> placedControls()
{
    return {
        {"SSTab1", [](frmEditor& w) -> QWidget* { return w.SSTab1; }, &MainWindowLayout::SSTab1},
        {"Frame1", [](frmEditor& w) -> QWidget* { return w.Frame1; }, &MainWindowLayout::Frame1},
        {"Frame2", [](frmEditor& w) -> QWidget* { return w.Frame2; }, &MainWindowLayout::Frame2},
        {"RichTextBox1", [](frmEditor& w) -> QWidget* { return w.RichTextBox1; }, &MainWindowLayout::RichTextBox1},
        {"Label1", [](frmEditor& w) -> QWidget* { return w.Label1; }, &MainWindowLayout::Label1},
        {"Text1", [](frmEditor& w) -> QWidget* { return w.Text1; }, &MainWindowLayout::Text1},
        {"Label3", [](frmEditor& w) -> QWidget* { return w.Label3; }, &MainWindowLayout::Label3},
        {"Label2", [](frmEditor& w) -> QWidget* { return w.Label2; }, &MainWindowLayout::Label2},
        {"Command1", [](frmEditor& w) -> QWidget* { return w.Command1; }, &MainWindowLayout::Command1},
        {"Command7", [](frmEditor& w) -> QWidget* { return w.Command7; }, &MainWindowLayout::Command7},
        {"trevwContents", [](frmEditor& w) -> QWidget* { return w.trevwContents; }, &MainWindowLayout::trevwContents},
        {"fraAttribs", [](frmEditor& w) -> QWidget* { return w.fraAttribs; }, &MainWindowLayout::fraAttribs},
        {"Frame3", [](frmEditor& w) -> QWidget* { return w.Frame3; }, &MainWindowLayout::Frame3},
        {"fraChars", [](frmEditor& w) -> QWidget* { return w.fraChars; }, &MainWindowLayout::fraChars},
        {"lstAttributes", [](frmEditor& w) -> QWidget* { return w.lstAttributes; }, &MainWindowLayout::lstAttributes},
        {"txtAttributeValue", [](frmEditor& w) -> QWidget* { return w.txtAttributeValue; },
         &MainWindowLayout::txtAttributeValue},
        {"txtCharacters", [](frmEditor& w) -> QWidget* { return w.txtCharacters; }, &MainWindowLayout::txtCharacters},
        {"Text2", [](frmEditor& w) -> QWidget* { return w.Text2; }, &MainWindowLayout::Text2},
        {"cmdRename", [](frmEditor& w) -> QWidget* { return w.cmdRename; }, &MainWindowLayout::cmdRename},
        {"Command6", [](frmEditor& w) -> QWidget* { return w.Command6; }, &MainWindowLayout::Command6},
    };
}

QRect pixels(const TwipsRect& r)
{
    return QRect(r.Left / 15, r.Top / 15, r.Width / 15, r.Height / 15);
}

} // namespace

TEST(MainWindowLayout, WidgetsFollowEveryResize)
{
    frmEditor w;
    w.show();
    QCoreApplication::processEvents();
    // The window's outer size counts its frame.
    const auto resizeOuter = [&w](int width, int height) {
        const QSize frame = w.frameGeometry().size() - w.size();
        w.resize(width - frame.width(), height - frame.height());
        QCoreApplication::processEvents();
    };

    // 800 by 600 pixels: every row of the table, in pixels (all values are whole pixels).
    resizeOuter(800, 600);
    ASSERT_EQ(w.frameGeometry().size(), QSize(800, 600));
    for (const Row& row : rowsAt12000x9000())
        EXPECT_EQ(w.layout().*(row.member), row.expected) << row.name;
    for (const Placed& p : placedControls()) {
        const TwipsRect& r = w.layout().*(p.member);
        if (r.Left % 15 == 0 && r.Top % 15 == 0 && r.Width % 15 == 0 && r.Height % 15 == 0) {
            EXPECT_EQ(p.widget(w)->geometry(), pixels(r)) << p.name;
        }
    }
    // The tab control lies in the client area below the menu bar; the frames on the tab
    // control; the text and the tree in their frames.
    EXPECT_EQ(w.SSTab1->parentWidget(), w.centralWidget());
    EXPECT_EQ(w.Frame1->parentWidget(), w.SSTab1);
    EXPECT_EQ(w.Frame2->parentWidget(), w.SSTab1);
    EXPECT_EQ(w.RichTextBox1->parentWidget(), w.Frame1);
    EXPECT_EQ(w.trevwContents->parentWidget(), w.Frame2);
    EXPECT_EQ(w.Text2->parentWidget(), w.Frame3);
    EXPECT_EQ(w.txtCharacters->parentWidget(), w.fraChars);

    // 1280 by 900 pixels.
    resizeOuter(1280, 900);
    EXPECT_EQ(w.layout().SSTab1, (TwipsRect{250, 120, 18800, 12100}));
    EXPECT_EQ(w.RichTextBox1->geometry(), QRect(740 / 15, 90, 16800 / 15, 8600 / 15));
    EXPECT_EQ(w.trevwContents->geometry().size(), QSize(840, 540));
    EXPECT_EQ(w.fraAttribs->geometry(), QRect(882, w.trevwContents->y(), 4400 / 15, 324));
    for (const Placed& p : placedControls()) {
        const TwipsRect& r = w.layout().*(p.member);
        const QRect g = p.widget(w)->geometry();
        EXPECT_LE(std::abs(g.x() - r.Left / 15.0), 0.5) << p.name;
        EXPECT_LE(std::abs(g.width() - r.Width / 15.0), 0.5) << p.name;
        EXPECT_LE(std::abs(g.height() - r.Height / 15.0), 0.5) << p.name;
    }

    // A tiny window: the controls whose sizes would be negative keep their sizes.
    const QRect textBefore = w.RichTextBox1->geometry();
    resizeOuter(60, 60);
    const QSize tiny = w.frameGeometry().size();
    ASSERT_EQ(tiny, QSize(60, 60));
    MainWindowLayout expected = hub::MainWindowDesign();
    hub::LayOutMainWindow(12000, 9000, expected);
    hub::LayOutMainWindow(19200, 13500, expected);
    hub::LayOutMainWindow(tiny.width() * 15, tiny.height() * 15, expected);
    for (const Placed& p : placedControls()) {
        EXPECT_EQ(w.layout().*(p.member), expected.*(p.member)) << p.name;
        EXPECT_GE(p.widget(w)->width(), 0) << p.name;
    }
    // 900 - 400 for the tab control's width; its height (900 - 1400) and everything
    // computed from it keep the sizes they had.
    EXPECT_EQ(w.SSTab1->geometry(), QRect(8, 17, 33, 807));
    EXPECT_EQ(w.RichTextBox1->height(), textBefore.height());
    EXPECT_EQ(w.trevwContents->height(), 540);
}

TEST(MainWindowLayout, LongPathsAreShortenedInTheMiddleOnTheTreePage)
{
    frmEditor w;
    const QString path = QStringLiteral("C:\\Program Files\\Rail Simulator\\Content\\Routes\\") + QString(300, QLatin1Char('x'))
                         + QStringLiteral("\\Scenarios\\Scenario.bin");
    w.Label2->setText(path);
    EXPECT_EQ(w.Label2->text(), path);
    const QString shown = w.Label2->shownText();
    EXPECT_LT(shown.size(), path.size());
    EXPECT_TRUE(shown.startsWith(QStringLiteral("C:\\Program Files"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("Scenario.bin"))) << shown.toStdString();
    EXPECT_LE(w.Label2->fontMetrics().horizontalAdvance(shown), w.Label2->contentsRect().width());

    w.Label2->setText(QStringLiteral("C:\\a.bin"));
    EXPECT_EQ(w.Label2->shownText(), "C:\\a.bin");
}
