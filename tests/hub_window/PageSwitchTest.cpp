// The page switch: the editor in force, the frames' captions and warnings, the menus, and
// the tree page's one load of the work copy per game-file open.

#include "WindowTestSupport.h"

#include "hub/EditorPages.h"
#include "hub/HubStartup.h"
#include "hub/TextPageWidget.h"
#include "hub/xml/XmlTreeWidget.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QXmlStreamReader>

namespace {

const QString kTextCaption = QStringLiteral("Veltrane Editor");
const QString kTreeCaption = QStringLiteral("XML Editor");
const QString kWarnXml =
    QStringLiteral("Warning: You are using XML editor, any changes you make on this page will not be saved");
const QString kWarnVeltrane =
    QStringLiteral("Warning: You are using Veltrane editor, any changes you make on this page will not be saved");

bool boldRed(QGroupBox* frame)
{
    frame->ensurePolished();
    return frame->font().bold() && frame->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
}

// The number of elements of an XML file.
qsizetype elementCount(const QString& nativePath)
{
    QFile f(nativePath);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    QXmlStreamReader reader(&f);
    qsizetype count = 0;
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement)
            ++count;
    return reader.hasError() ? -1 : count;
}

struct Combination {
    bool xmlEditorDefault;
    int sessionEditor;
    int page;
    QString caption;
    bool warning;
    bool textMenus; // the text page's Files menu, not the tree page's Files and Nodes
};

} // namespace

TEST_F(WindowTest, PageSwitchForEveryEditorAndPage)
{
    const QList<Combination> table = {
        {false, 0, 0, kTextCaption, false, true},  {false, 0, 1, kWarnVeltrane, true, true},
        {false, 1, 0, kTextCaption, false, true},  {false, 1, 1, kWarnVeltrane, true, true},
        {false, 2, 0, kWarnXml, true, false},      {false, 2, 1, kTreeCaption, false, false},
        {true, 0, 0, kWarnXml, true, false},       {true, 0, 1, kTreeCaption, false, false},
        {true, 1, 0, kTextCaption, false, true},   {true, 1, 1, kWarnVeltrane, true, true},
        {true, 2, 0, kWarnXml, true, false},       {true, 2, 1, kTreeCaption, false, false},
    };
    for (const Combination& c : table) {
        const QString when = QStringLiteral("default %1, session %2, page %3")
                                 .arg(c.xmlEditorDefault).arg(c.sessionEditor).arg(c.page);
        SCOPED_TRACE(when.toStdString());

        const hub::PageSwitch rule = hub::PageSwitchFor(c.page, c.sessionEditor, c.xmlEditorDefault);
        EXPECT_EQ(rule.caption, c.caption);
        EXPECT_EQ(rule.warning, c.warning);
        EXPECT_EQ(rule.fileSVisible, c.textMenus);
        EXPECT_TRUE(rule.searchVisible);

        shared().XmlEditorDefault = c.xmlEditorDefault;
        shared().SessionEditor = c.sessionEditor;
        frmEditor w;
        switchTo(w, c.page);

        QGroupBox* shownFrame = c.page == 0 ? w.Frame1 : w.Frame2;
        QGroupBox* otherFrame = c.page == 0 ? w.Frame2 : w.Frame1;
        EXPECT_FALSE(shownFrame->isHidden());
        EXPECT_TRUE(otherFrame->isHidden());
        EXPECT_EQ(shownFrame->title(), c.caption);
        EXPECT_EQ(boldRed(shownFrame), c.warning);
        // The warning's emphasis is the frame's caption only, not its controls'.
        EXPECT_FALSE(w.Label1->font().bold());
        EXPECT_NE(w.Label3->palette().color(QPalette::WindowText), QColor(255, 0, 0));

        EXPECT_EQ(shown(w.mnuFileS), c.textMenus);
        EXPECT_EQ(shown(w.mnuFile), !c.textMenus);
        EXPECT_EQ(shown(w.mnuNodePopUp), !c.textMenus);
        // "Search and Replace" is there on every page whenever it has commands to offer.
        EXPECT_EQ(shown(w.mnuSearch), !w.mnuSearch->isEmpty());
        EXPECT_TRUE(shown(w.mnuConv));
        EXPECT_TRUE(shown(w.mnuTools));
    }
}

TEST_F(WindowTest, WarningStaysBoldRedAndTheShownPageRunsNoSwitch)
{
    shared().XmlEditorDefault = true;
    frmEditor w;
    w.SSTab1->setCurrentIndex(1);
    EXPECT_EQ(w.Frame2->title(), kTreeCaption);
    EXPECT_FALSE(boldRed(w.Frame2));
    w.SSTab1->setCurrentIndex(0);
    EXPECT_EQ(w.Frame1->title(), kWarnXml);
    EXPECT_TRUE(boldRed(w.Frame1));
    EXPECT_TRUE(shown(w.mnuFile));

    // The text page is shown already: choosing its editor for the session changes nothing yet.
    w.mnuURS_Click();
    EXPECT_EQ(shared().SessionEditor, 1);
    EXPECT_EQ(w.Frame1->title(), kWarnXml);
    EXPECT_TRUE(shown(w.mnuFile));
    EXPECT_FALSE(shown(w.mnuFileS));

    // The next switches follow the session's editor; the text page's normal caption keeps
    // the warning's bold red.
    w.SSTab1->setCurrentIndex(1);
    EXPECT_EQ(w.Frame2->title(), kWarnVeltrane);
    EXPECT_TRUE(shown(w.mnuFileS));
    EXPECT_FALSE(shown(w.mnuNodePopUp));
    w.SSTab1->setCurrentIndex(0);
    EXPECT_EQ(w.Frame1->title(), kTextCaption);
    EXPECT_TRUE(boldRed(w.Frame1));

    w.mnuUXML_Click();
    EXPECT_EQ(w.Frame2->title(), kTreeCaption);
    EXPECT_TRUE(boldRed(w.Frame2));
}

TEST_F(WindowTest, StartUpCaptionsAndMenus)
{
    prepareGame(false);
    {
        auto w = startWindow();
        // Page 0 was shown already: start-up's own settings and the design captions stand.
        EXPECT_EQ(w->SSTab1->currentIndex(), 0);
        EXPECT_EQ(w->SSTab1->tabText(0), kTextCaption);
        EXPECT_EQ(w->SSTab1->tabText(1), kTreeCaption);
        EXPECT_EQ(w->Frame1->title(), kTextCaption);
        EXPECT_EQ(w->Frame2->title(), kTreeCaption);
        EXPECT_FALSE(w->Frame1->isHidden());
        EXPECT_TRUE(w->Frame2->isHidden());
        EXPECT_FALSE(boldRed(w->Frame1));
        EXPECT_TRUE(shown(w->mnuFileS));
        EXPECT_FALSE(shown(w->mnuFile));
        EXPECT_FALSE(shown(w->mnuNodePopUp));
        EXPECT_FALSE(w->mnuEditCopy->isEnabled());
        EXPECT_FALSE(w->mnuEditPaste->isEnabled());
    }

    // The tree page as default: it is shown at start-up, before any game file, and stays
    // empty without a message.
    resetShared();
    prepareGame(true);
    auto w = startWindow();
    EXPECT_EQ(w->SSTab1->currentIndex(), 1);
    EXPECT_TRUE(w->Frame1->isHidden());
    EXPECT_FALSE(w->Frame2->isHidden());
    EXPECT_EQ(w->Frame2->title(), kTreeCaption);
    EXPECT_TRUE(shown(w->mnuFile));
    EXPECT_TRUE(shown(w->mnuNodePopUp));
    EXPECT_FALSE(shown(w->mnuFileS));
    EXPECT_FALSE(w->TreeLoaded);
    EXPECT_EQ(w->trevwContents->itemCount(), 0);
    EXPECT_TRUE(ui.messages().isEmpty());
    // The attribute and text controls wait for an element.
    EXPECT_FALSE(w->fraAttribs->isEnabled());
    EXPECT_FALSE(w->txtCharacters->isEnabled());
}

TEST_F(WindowTest, TreePageLoadsTheWorkCopyOncePerGameFileOpen)
{
    prepareGame();
    auto w = startWindow();

    ui.expectOpenFile(game(scenarioRel()));
    w->mnuOpenRS_Click();
    const QString workCopy = hub::TempFilesFolder() + QStringLiteral("\\Scenario.xml");
    const qsizetype elements = elementCount(platform::nativePath(workCopy));
    ASSERT_GT(elements, 1);
    EXPECT_FALSE(w->TreeLoaded);

    w->SSTab1->setCurrentIndex(1);
    EXPECT_TRUE(w->TreeLoaded);
    EXPECT_EQ(w->TreeDocument.TreeFileName, workCopy);
    EXPECT_EQ(w->trevwContents->itemCount(), elements);
    EXPECT_EQ(w->trevwContents->itemText(QStringLiteral("nod1")), "cRecordSet");
    EXPECT_EQ(w->TreeDocument.NodeKeyCounter, elements);

    // Showing the page again does not read the work copy again.
    tree.writeFile(QStringLiteral("program/TempFiles/Scenario.xml"), "<Other><a/></Other>");
    w->SSTab1->setCurrentIndex(0);
    w->SSTab1->setCurrentIndex(1);
    EXPECT_EQ(w->trevwContents->itemCount(), elements);

    // A second game file: its open empties the tree, and the next showing of the page
    // loads the new work copy.
    w->SSTab1->setCurrentIndex(0);
    ui.expectOpenFile(game(scenarioListRel()));
    w->mnuOpenRS_Click();
    EXPECT_FALSE(w->TreeLoaded);
    EXPECT_EQ(w->trevwContents->itemCount(), 0);
    const QString secondCopy = hub::TempFilesFolder() + QStringLiteral("\\Scenarios.xml");
    const qsizetype secondElements = elementCount(platform::nativePath(secondCopy));
    ASSERT_GT(secondElements, 1);
    ASSERT_NE(secondElements, elements);

    w->SSTab1->setCurrentIndex(1);
    EXPECT_TRUE(w->TreeLoaded);
    EXPECT_EQ(w->TreeDocument.TreeFileName, secondCopy);
    EXPECT_EQ(w->trevwContents->itemCount(), secondElements);
    EXPECT_TRUE(ui.messages().isEmpty());
    // The text page keeps the second file's text.
    EXPECT_EQ(w->Label2->text(), game(scenarioListRel()));
}

TEST_F(WindowTest, TreePageNamesNoWorkCopyThatIsGone)
{
    prepareGame();
    auto w = startWindow();
    ui.expectOpenFile(game(scenarioRel()));
    w->mnuOpenRS_Click();
    // "Clear Temp Files" took the work copy away before the tree page was first shown: the
    // page stays empty and names no file, now and on every later switch.
    w->mnuCTF_Click();
    ui.clearRecords();
    for (int i = 0; i < 2; ++i) {
        w->SSTab1->setCurrentIndex(1);
        EXPECT_EQ(w->trevwContents->itemCount(), 0);
        EXPECT_FALSE(w->TreeDocument.TreeHasFile);
        w->SSTab1->setCurrentIndex(0);
    }
    EXPECT_TRUE(w->TreeWorkName.isEmpty());
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.lastMessage().text.toStdString();
}
