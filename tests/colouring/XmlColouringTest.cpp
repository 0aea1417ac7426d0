// The XML colouring's rules, character by character: each case gives a text and the colour
// of every character (0 text, 1 tag, 2 attribute name, 3 value, 4 comment; line breaks kept).
#include "hub/xml/XmlColouring.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

const std::array<quint32, 5> Colours{0x000000, 0xC00000, 0xC000C0, 0x00C000, 0x808080};

// The colours that the line lexer gives, the state carried from line to line.
QString lexerMask(const QString& text)
{
    QString mask;
    std::vector<xmlcolour::Run> runs;
    xmlcolour::State state = xmlcolour::InText;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype k = 0; k < lines.size(); ++k) {
        if (k > 0)
            mask += QLatin1Char('\n');
        state = xmlcolour::colourLine(lines[k], state, runs);
        QString line(lines[k].size(), QLatin1Char('?'));
        for (const xmlcolour::Run& run : runs)
            for (qsizetype i = run.start; i < run.start + run.length; ++i)
                line[i] = QChar(u'0' + run.colour);
        mask += line;
    }
    return mask;
}

// The colours that a document shows once all its lines have been shown ("?" for a
// character without a colour of the five).
QString documentMask(const QTextDocument& doc, XmlSyntaxColourer& colourer)
{
    colourer.showLines(doc.begin(), doc.blockCount());
    QString mask;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin())
            mask += QLatin1Char('\n');
        QString line(block.length() - 1, QLatin1Char('?'));
        for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
            const QColor colour = range.format.foreground().color();
            for (int k = 0; k < 5; ++k)
                if (colour == xmlcolour::fromBgr(Colours[k]))
                    for (int i = range.start; i < range.start + range.length && i < line.size(); ++i)
                        line[i] = QChar(u'0' + k);
        }
        mask += line;
    }
    return mask;
}

struct Case {
    const char* name;
    const char* text;
    const char* colours;
};

const Case Cases[] = {
    // Element text holding "=" stays black; the attribute's blank, name and "=" are purple.
    {"attribute and element text with '='", R"(<a b="1">x = y</a>)", "112223331000001111"},
    {"quotes and '=' in element text", R"(<a>x="1"</a>)", "111000001111"},
    // Without quotes only a run of digits is a value; a word leaves the name in the tag's colour.
    {"unquoted digits and words", "<a n=12 w=ab m = 3x>", "11222331111122222311"},
    {"braces and backslashes", R"(<p v="{\x}">a{b}\c</p>)", "1122233333310000001111"},
    {"comment holding tags", R"(<a><!-- <b c="1"> --></a>)", "1114444444444444444441111"},
    {"comment and tag over several lines", "<a\n b=\"x\ny\">\n<!-- one\n<two/> -->t",
     "11\n22233\n331\n44444444\n44444444440"},
    {"a value over an empty line", "<a b=\"x\n\ny\">t", "1122233\n\n3310"},
    {"'<' ending a line opens a tag", "x<\n>y", "01\n10"},
    {"single-quoted and empty values", R"(<a b='1' c="" d='' e="2">)", "1122233311111111112223331"},
    {"names with ':', '.', '-', '_' and blanks", R"(<d:a d:type="s" x.y-z_1 = '2'>)",
     "111122222222333222222222223331"},
    {"a tab is no blank before a name", "<a\tb=\"1\">", "111111111"},
    {"a '>' inside a quoted value", R"(<a b="x>y">z)", "112223333310"},
    {"'<>' is text", "a<>b<c>", "0000111"},
    {"'<!---->' is a whole comment", "<!---->x", "44444440"},
    {"'<!-->' does not close its comment", "<!-->x-->y", "4444444440"},
    {"declaration", R"(<?xml version="1.0"?>)", "111112222222223333311"},
};

} // namespace

TEST(XmlColouring, EveryCharacterHasTheColourOfItsRule)
{
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        const QString text = QString::fromUtf8(c.text);
        const QString expected = QString::fromUtf8(c.colours);
        ASSERT_EQ(expected.size(), text.size());
        EXPECT_EQ(lexerMask(text), expected);

        // The same colours on a document, where the state goes from block to block.
        QTextDocument doc;
        doc.setPlainText(text);
        XmlSyntaxColourer colourer(Colours, &doc);
        EXPECT_EQ(documentMask(doc, colourer), expected);
    }
}

TEST(XmlColouring, EditsRecolourTheLinesTheyReach)
{
    QTextDocument doc;
    doc.documentLayout(); // a document reports its changes once it is laid out, as in a window
    doc.setPlainText("<a b=\"1\">\n<c>x</c>\n</a>");
    // Colours coming and going are no change of the text: the document reports none.
    int reports = 0;
    QObject::connect(&doc, &QTextDocument::contentsChange, [&reports] { ++reports; });
    {
        XmlSyntaxColourer once(Colours, &doc);
        once.showLines(doc.begin(), doc.blockCount());
    }
    EXPECT_EQ(reports, 0);

    auto colourer = std::make_unique<XmlSyntaxColourer>(Colours, &doc);
    // Lines get their colours when they are shown.
    EXPECT_TRUE(doc.firstBlock().layout()->formats().isEmpty());
    colourer->showLines(doc.begin(), 1);
    EXPECT_FALSE(doc.firstBlock().layout()->formats().isEmpty());
    EXPECT_TRUE(doc.firstBlock().next().layout()->formats().isEmpty());
    ASSERT_EQ(documentMask(doc, *colourer), "112223331\n11101111\n1111");

    // Opening a comment at the top greys every line after it; closing it gives them back.
    QTextCursor top(&doc);
    top.insertText("<!--");
    EXPECT_EQ(documentMask(doc, *colourer), "4444444444444\n44444444\n4444");
    QTextCursor close(&doc);
    close.setPosition(13);
    close.insertText("-->");
    EXPECT_EQ(documentMask(doc, *colourer), "4444444444444444\n11101111\n1111");

    // An unclosed quote runs on to the next quote, over lines.
    QTextCursor quote(&doc);
    quote.movePosition(QTextCursor::End);
    quote.insertText("\n<e f=\"2\nz");
    EXPECT_EQ(documentMask(doc, *colourer), "4444444444444444\n11101111\n1111\n1122233\n3");
    quote.insertText("\">");
    EXPECT_EQ(documentMask(doc, *colourer), "4444444444444444\n11101111\n1111\n1122233\n331");

    // Taking the colourer off leaves no colour behind.
    colourer.reset();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        EXPECT_TRUE(block.layout()->formats().isEmpty());
}

TEST(XmlColouring, ColourValuesAreBlueGreenRed)
{
    EXPECT_EQ(xmlcolour::fromBgr(0xC00000), QColor(0, 0, 192));
    EXPECT_EQ(xmlcolour::fromBgr(0xC000C0), QColor(192, 0, 192));
    EXPECT_EQ(xmlcolour::fromBgr(0x00C000), QColor(0, 192, 0));
    EXPECT_EQ(xmlcolour::fromBgr(0x808080), QColor(128, 128, 128));
    EXPECT_EQ(xmlcolour::fromBgr(0x123456), QColor(0x56, 0x34, 0x12));
}
