// A cancelled "Open RailSim File" on the text page: the file in work stays as it was.
#include "EditorTestSupport.h"

#include "hub/TextPageWidget.h"

#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// The file in work as the text page and the shared state hold it.
struct InWork {
    QString text, text1, label2, currentFile, currentFileExt, workName, workBase;
    frmEditor::Source source = frmEditor::Source::Nothing;
    QMap<QString, QByteArray> workCopies;
    bool operator==(const InWork&) const = default;
};

} // namespace

class EditorOpenCancel : public EditorTest {
protected:
    InWork inWork(frmEditor& w) const
    {
        InWork s;
        s.text = w.RichTextBox1->text();
        s.text1 = w.Text1->text();
        s.label2 = w.Label2->text();
        s.currentFile = shared().CurrentFile;
        s.currentFileExt = shared().CurrentFileExt;
        s.workName = w.WorkName;
        s.workBase = w.WorkBase;
        s.source = w.PageSource;
        const QString work = tree.path(QStringLiteral("program/TempFiles"));
        QDirIterator it(work, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            s.workCopies.insert(QDir(work).relativeFilePath(path), bytesOf(path));
        }
        return s;
    }
};

TEST_F(EditorOpenCancel, ACancelledDialogKeepsThePageTheFileAndTheWorkCopies)
{
    prepareGame();
    const QString gameFile = game(scenarioRel());
    const QString xmlFile = tree.writeFile("game/Notes.xml", "<Notes>90047</Notes>\r\n");
    for (const bool fromGame : {true, false}) {
        SCOPED_TRACE(fromGame ? "a game file in work" : "an XML file in work");
        resetShared();
        auto w = startWindow();
        ui.expectOpenFile(fromGame ? gameFile : xmlFile);
        if (fromGame)
            w->mnuOpenRS_Click();
        else
            w->mnuXML_Click();
        // An edit on the page that is not saved yet.
        QTextCursor found = w->RichTextBox1->document()->find(QStringLiteral("90047"));
        ASSERT_FALSE(found.isNull());
        found.insertText(QStringLiteral("90048"));
        const InWork before = inWork(*w);
        ASSERT_FALSE(before.workCopies.isEmpty());

        ui.expectOpenFile(QString());
        w->mnuOpenRS_Click();
        EXPECT_TRUE(inWork(*w) == before);
        EXPECT_EQ(w->RichTextBox1->text(), before.text);
        EXPECT_EQ(shared().CurrentFile, before.currentFile);

        if (fromGame) {
            // The page still saves into its game file.
            w->mnuSaveRS_Click();
            EXPECT_TRUE(ui.messages().isEmpty());
            EXPECT_TRUE(xmlOf(gameFile).contains("90048"));
        }
        ui.verifyDone();
        ui.clearRecords();
    }
}
