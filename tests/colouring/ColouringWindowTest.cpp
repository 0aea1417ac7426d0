// The text page's "Highlight XML" button on the main window: its captions, the empty page,
// and that colouring never changes what is saved.
#include "hub/EditorTestSupport.h"
#include "hub/TextPageWidget.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

namespace {

void typeOver(TextPageWidget* page, const QString& find, const QString& replacement)
{
    QTextCursor found = page->document()->find(find);
    ASSERT_FALSE(found.isNull()) << find.toStdString();
    found.insertText(replacement);
}

// The colour the page shows for its first character once painted; invalid when it has none
// of its own.
QColor firstColour(TextPageWidget* page)
{
    page->viewport()->repaint();
    const QList<QTextLayout::FormatRange> formats = page->document()->firstBlock().layout()->formats();
    for (const QTextLayout::FormatRange& range : formats)
        if (range.start == 0 && range.length > 0)
            return range.format.foreground().color();
    return QColor();
}

} // namespace

TEST_F(EditorTest, HighlightButtonTogglesByItsCaption)
{
    prepareGame();
    auto w = startWindow();
    w->show();
    ASSERT_FALSE(w->Command1->isHidden());
    EXPECT_EQ(w->Command1->text(), "Highlight XML");
    EXPECT_EQ(w->RichTextBox1->font().pointSize(), 11);

    // An empty page: the caption changes and the message says why nothing is coloured.
    ui.expectMsgBox(vb::vbOK, "No text selected");
    w->Command1->click();
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.lastMessage().text, "No text selected");
    EXPECT_EQ(ui.lastMessage().style, vb::vbOKOnly);
    EXPECT_EQ(ui.lastMessage().title, Ui::programTitle());
    EXPECT_EQ(w->Command1->text(), "Unhighlight XML");
    EXPECT_FALSE(w->RichTextBox1->isColoured());
    w->Command1->click();
    EXPECT_EQ(w->Command1->text(), "Highlight XML");
    EXPECT_EQ(ui.messages().size(), 1);

    const QString first = tree.writeFile("game/First.xml", "<a b=\"1\">x = y</a>\r\n");
    const QString second = tree.writeFile("game/Second.xml", "<c d=\"2\"/>\r\n");
    ui.expectOpenFile(first);
    w->mnuXML_Click();

    // The caption is compared without regard to case.
    w->Command1->setText("HIGHLIGHT xml");
    w->Command1->click();
    EXPECT_EQ(w->Command1->text(), "Unhighlight XML");
    EXPECT_TRUE(w->RichTextBox1->isColoured());
    EXPECT_EQ(firstColour(w->RichTextBox1), QColor(0, 0, 192));
    EXPECT_EQ(w->RichTextBox1->font().pointSize(), 11);
    EXPECT_EQ(w->RichTextBox1->text(), "<a b=\"1\">x = y</a>\r\n");

    // Another file shows plain under the same caption; the next click keeps it plain.
    ui.expectOpenFile(second);
    w->mnuXML_Click();
    EXPECT_EQ(w->Command1->text(), "Unhighlight XML");
    EXPECT_FALSE(w->RichTextBox1->isColoured());
    EXPECT_FALSE(firstColour(w->RichTextBox1).isValid());
    w->Command1->click();
    EXPECT_EQ(w->Command1->text(), "Highlight XML");
    EXPECT_FALSE(w->RichTextBox1->isColoured());

    w->Command1->click();
    EXPECT_TRUE(w->RichTextBox1->isColoured());
    w->Command1->setText("unhighlight XML");
    w->Command1->click();
    EXPECT_EQ(w->Command1->text(), "Highlight XML");
    EXPECT_FALSE(w->RichTextBox1->isColoured());
    EXPECT_FALSE(firstColour(w->RichTextBox1).isValid());
    EXPECT_EQ(w->RichTextBox1->font().pointSize(), 11);
    EXPECT_EQ(ui.messages().size(), 1);
}

TEST_F(EditorTest, ColouringLeavesTheSavedBytesAsTheyWere)
{
    prepareGame();
    auto w = startWindow();
    // CR LF, LF and lone CR; braces and backslashes.
    const QByteArray mixed("<a>\r\n<b c=\"{\\}\">x</b>\n<d>2</d>\r<e/>\r\n</a>\r\n");
    const QString xmlPath = tree.writeFile("game/Mixed.xml", mixed);
    QDir().mkpath(tree.path("out"));

    const auto editAndSave = [&](bool coloured, const QString& out) {
        ui.expectOpenFile(xmlPath);
        w->mnuXML_Click();
        if (coloured) {
            w->Command1->click();
            ASSERT_TRUE(w->RichTextBox1->isColoured());
        }
        QCoreApplication::processEvents();
        typeOver(w->RichTextBox1, "x</b>", "y</b>");
        // A comment opened and closed over lines re-colours the lines between.
        typeOver(w->RichTextBox1, "<d>", "<!--<d>");
        typeOver(w->RichTextBox1, "<e/>", "-->\n<e/>");
        QCoreApplication::processEvents();
        if (coloured) {
            w->Command1->click();
            ASSERT_FALSE(w->RichTextBox1->isColoured());
        }
        QCoreApplication::processEvents();
        ui.expectSaveFile(out);
        w->mnuSaveAs_Click();
    };
    editAndSave(false, tree.path("out/plain.xml"));
    editAndSave(true, tree.path("out/coloured.xml"));

    EXPECT_EQ(tree.readFile("out/plain.xml"),
              QByteArray("<a>\r\n<b c=\"{\\}\">y</b>\n<!--<d>2</d>\r-->\r\n<e/>\r\n</a>\r\n"));
    EXPECT_EQ(tree.readFile("out/coloured.xml"), tree.readFile("out/plain.xml"));

    // Coloured and saved without edits: the file's own bytes.
    ui.expectOpenFile(xmlPath);
    w->mnuXML_Click();
    w->Command1->click();
    QCoreApplication::processEvents();
    ui.expectSaveFile(tree.path("out/unedited.xml"));
    w->mnuSaveAs_Click();
    EXPECT_EQ(tree.readFile("out/unedited.xml"), mixed);
    EXPECT_TRUE(ui.messages().isEmpty());
}
