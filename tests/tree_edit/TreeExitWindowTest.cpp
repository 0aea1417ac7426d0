// Ending the program with unsaved edits on the tree page: every way out asks the document's
// question first, and Yes saves the document where it came from.

#include "TreeWindowFixture.h"

#include "hub/TextPageWidget.h"
#include "hub/xml/XmlTreeWidget.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include "support/ScopedEnv.h"

namespace {

enum class Road { TreeExit, TextExit, WindowClose };
enum class Answer { YesSaved, YesSaveFails, No, Cancel };
enum class Origin { GameByTreePage, GameByTextPage, XmlByTreePage, XmlByTextPage };

const char* const kRoadNames[] = {"tree page Exit", "text page &Exit", "window closed"};
const char* const kAnswerNames[] = {"Yes", "Yes, save fails", "No", "Cancel"};
const char* const kOriginNames[] = {"game file, tree page open", "game file, text page open", "XML file, tree page open",
                                    "XML file, text page open"};

const QByteArray kXml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                        "<Route>\r\n"
                        " <Name>Valley</Name>\r\n"
                        "</Route>\r\n";
const QString kEdit = QStringLiteral("Edited before the end");

// What both pages show, to see that a program that keeps running kept them.
struct Pages {
    QString text, text1, label2, fileName, title, leafText;
    bool modified = false;
    qsizetype items = 0;
    int page = -1;
    bool operator==(const Pages&) const = default;
};

} // namespace

class TreeExitTest : public TreeWindowTest {
protected:
    Pages pagesOf(frmEditor& w, const QString& leafKey)
    {
        Pages p;
        p.text = w.RichTextBox1->text();
        p.text1 = w.Text1->text();
        p.label2 = w.Label2->text();
        p.fileName = w.TreeDocument.TreeFileName;
        p.title = w.windowTitle();
        const clsNode* leaf = element(w, leafKey);
        p.leafText = leaf ? leaf->NodeCharacters() : QStringLiteral("<no element>");
        p.modified = w.TreeDocument.TreeModified;
        p.items = w.trevwContents->itemCount();
        p.page = w.SSTab1->currentIndex();
        return p;
    }

    bool workFolderEmpty() const
    {
        const QDir work(tree.path(QStringLiteral("program/TempFiles")));
        return work.exists() && work.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
};

TEST_F(TreeExitTest, EveryWayOutAsksAndYesSavesWhereTheDocumentCameFrom)
{
    ASSERT_TRUE(copySampleGame(tree.gamePath()));
    PreferencesRecord rec;
    rec.Width = 16800;
    rec.Height = 12600;
    rec.GamePath = tree.gamePath();
    rec.XmlEditorDefault = true;
    const QByteArray prefs = FormatPreferences(rec);
    const QByteArray gameBytes = bytesOf(game(scenarioRel()));

    int n = 0;
    for (const Origin origin : {Origin::GameByTreePage, Origin::GameByTextPage, Origin::XmlByTreePage, Origin::XmlByTextPage}) {
        for (const Road road : {Road::TreeExit, Road::TextExit, Road::WindowClose}) {
            for (const Answer answer : {Answer::YesSaved, Answer::YesSaveFails, Answer::No, Answer::Cancel}) {
                ++n;
                SCOPED_TRACE(std::string(kOriginNames[int(origin)]) + " / " + kRoadNames[int(road)] + " / "
                             + kAnswerNames[int(answer)]);
                const bool fromGame = origin == Origin::GameByTreePage || origin == Origin::GameByTextPage;
                // Each case has its own file; the game files are copies of a sample scenario.
                const QString stem = QStringLiteral("Case%1").arg(n);
                const QString folder = QStringLiteral("game/") + stem;
                QString file;
                if (fromGame) {
                    tree.writeFile(folder + QStringLiteral("/") + stem + QStringLiteral(".bin"), gameBytes);
                    file = tree.path(folder + QStringLiteral("/") + stem + QStringLiteral(".bin"));
                } else {
                    file = tree.writeFile(folder + QStringLiteral("/") + stem + QStringLiteral(".xml"), kXml);
                }
                const QByteArray original = bytesOf(file);

                // A fresh start of the program.
                resetShared();
                tree.writeFile(QStringLiteral("program/preferences.txt"), prefs);
                auto w = std::make_unique<frmEditor>();
                w->Form_Load();
                w->show();
                switch (origin) {
                case Origin::GameByTreePage:
                    openGame(*w, file);
                    break;
                case Origin::GameByTextPage:
                    ui.expectOpenFile(file);
                    w->mnuOpenRS_Click();
                    // The tree page loads the text page's work copy when it is shown.
                    w->SSTab1->setCurrentIndex(0);
                    w->SSTab1->setCurrentIndex(1);
                    break;
                case Origin::XmlByTreePage:
                    ui.expectOpenFile(file);
                    w->mnuOpenXCT_Click();
                    break;
                case Origin::XmlByTextPage:
                    ui.expectOpenFile(file);
                    w->mnuXML_Click();
                    break;
                }
                ASSERT_GT(w->trevwContents->itemCount(), 0);
                const QString leaf = firstLeafKey(*w);
                click(*w, leaf);
                w->TreeDocument.CurrentNode()->setNodeCharacters(kEdit);
                w->TreeDocument.SetModified(true);
                const Pages before = pagesOf(*w, leaf);

                // A save that fails: the serializer refuses the work copy, or the XML file's
                // folder is gone.
                ScopedEnv serzFail("SERZ_FAIL", answer == Answer::YesSaveFails && fromGame
                                                    ? (stem + QStringLiteral(".xml")).toUtf8()
                                                    : QByteArray());
                QString movedFile = file;
                if (answer == Answer::YesSaveFails && !fromGame) {
                    ASSERT_TRUE(QDir().rename(tree.path(folder), tree.path(folder + QStringLiteral("-moved"))));
                    platform::clearPathCache();
                    movedFile = tree.path(folder + QStringLiteral("-moved/") + stem + QStringLiteral(".xml"));
                }

                const int reply = answer == Answer::No ? vb::vbNo : answer == Answer::Cancel ? vb::vbCancel : vb::vbYes;
                ui.expectMsgBox(reply, QStringLiteral("The current file has been modified."));
                if (answer == Answer::YesSaveFails)
                    ui.expectMsgBox(vb::vbOK, fromGame ? QStringLiteral("has not been changed.")
                                                       : QStringLiteral("Unable to save the file"));
                switch (road) {
                case Road::TreeExit:
                    w->mnuFileExit->trigger();
                    break;
                case Road::TextExit:
                    w->mnuExit->trigger();
                    break;
                case Road::WindowClose:
                    w->close();
                    break;
                }
                ui.verifyDone();
                ASSERT_FALSE(ui.messages().isEmpty());
                EXPECT_EQ(ui.messages().first().title, QStringLiteral("Modified File"));
                EXPECT_EQ(ui.messages().first().style, vb::vbYesNoCancel + vb::vbQuestion);

                const bool exits = answer == Answer::YesSaved || answer == Answer::No;
                EXPECT_EQ(!w->isVisible(), exits);
                if (exits)
                    EXPECT_TRUE(workFolderEmpty()) << "the shut-down ran";
                else
                    EXPECT_TRUE(pagesOf(*w, leaf) == before) << "both pages stay as they were";

                // The file the document came from.
                if (fromGame) {
                    if (answer == Answer::YesSaved) {
                        EXPECT_TRUE(xmlOf(file).contains(kEdit.toUtf8()));
                        EXPECT_EQ(bytesOf(file + QStringLiteral(".bak")), original);
                    } else {
                        EXPECT_EQ(bytesOf(file), original);
                        EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral(".bak")));
                    }
                } else {
                    EXPECT_EQ(bytesOf(movedFile).contains(kEdit.toUtf8()), answer == Answer::YesSaved);
                    if (answer != Answer::YesSaved) {
                        EXPECT_EQ(bytesOf(movedFile), original);
                    }
                    EXPECT_FALSE(QFileInfo::exists(movedFile + QStringLiteral(".bak")));
                    if (answer == Answer::YesSaveFails) {
                        EXPECT_FALSE(QFileInfo::exists(file)) << "nothing written in the folder's old place";
                    }
                }
                ui.clearRecords();
            }
        }
    }
}
