// The tree page's reader and writer: what the reader keeps of a file, the writer's exact
// bytes, and round trips.
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

using namespace xmltest;

namespace {

const QByteArray kDecl = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";

QByteArray rewrite(const QByteArray& xml)
{
    auto doc = read(xml);
    if (!doc) {
        ADD_FAILURE() << "not read: " << xml.constData();
        return QByteArray();
    }
    return write(*doc);
}

} // namespace

TEST(XmlReader, NumbersElementsInStartTagOrderAndKeepsAttributesAsWritten)
{
    auto doc = read("<?xml version=\"1.0\"?>\n"
                    "<d:r xmlns:d=\"http://www.kuju.com/TnT/2003/Delta\" d:version=\"1.0\" b='2'>"
                    "<x><y d:type=\"cDeltaString\" z=\"&lt;&amp;&quot;&apos;\"/></x><Z/></d:r>");
    ASSERT_TRUE(doc);
    // The document node: empty name, text and key, the document element its only child.
    EXPECT_TRUE(doc->NodeName().isEmpty() && doc->NodeKey().isEmpty() && doc->NodeCharacters().isEmpty());
    EXPECT_EQ(doc->ChildNodes()->Count(), 1);
    EXPECT_EQ(doc->NodeAttributes()->Count(), 0);
    EXPECT_EQ(describe(*doc->ChildNodes()->Item(1)),
              QStringLiteral("nod1 d:r [xmlns:d=http://www.kuju.com/TnT/2003/Delta] [d:version=1.0] [b=2] ''\n"
                             "  nod2 x ''\n"
                             "    nod3 y [d:type=cDeltaString] [z=<&\"'] ''\n"
                             "  nod4 Z ''"));
    EXPECT_EQ(doc->ChildNodes()->Item(1)->ParentNode(), doc.get());
    EXPECT_EQ(doc->ChildNodes()->Item(QStringLiteral("NOD1"))->ChildNodes()->Item(QStringLiteral("nod4"))->NodeName(),
              QStringLiteral("Z"));
}

TEST(XmlReader, AnElementKeepsTheLastRunOfCharactersReadWhileItWasCurrent)
{
    // One run may come in pieces: text, a comment, a CDATA section, entity references and
    // a processing instruction in between do not end it; a tag does.
    auto doc = read("<!DOCTYPE a [<!ENTITY e \"ee\">]>\n<!-- dropped -->"
                    "<a>one<!--c-->two<![CDATA[<3>]]>&amp;&e;<?pi x?>four<b/>five<c>six</c></a>");
    ASSERT_TRUE(doc);
    EXPECT_EQ(describe(*doc->ChildNodes()->Item(1)),
              QStringLiteral("nod1 a 'five'\n  nod2 b ''\n  nod3 c 'six'"));

    auto runs = read("<a>first<b>x</b>\r\n\t\t</a>");
    EXPECT_EQ(runs->ChildNodes()->Item(1)->NodeCharacters(), QStringLiteral("\n\t\t"));
    auto pieces = read("<a>x &amp; y<![CDATA[ & z]]></a>");
    EXPECT_EQ(pieces->ChildNodes()->Item(1)->NodeCharacters(), QStringLiteral("x & y & z"));
}

TEST(XmlReader, AMalformedFileGivesTheParsersMessageAndLineAndNoTree)
{
    QString error;
    qint64 line = 0;
    EXPECT_FALSE(read("<?xml version=\"1.0\"?>\n<a>\n  <b>\n</a>\n", &error, &line));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(line, 4);

    // A failed read leaves the parser's previous document alone.
    clsXMLParse parser;
    QByteArray good = "<ok/>";
    QBuffer goodBuffer(&good);
    goodBuffer.open(QIODevice::ReadOnly);
    ASSERT_TRUE(parser.parse(goodBuffer));
    clsNode* before = parser.RootNode();
    QByteArray bad = "<a><b></a>";
    QBuffer badBuffer(&bad);
    badBuffer.open(QIODevice::ReadOnly);
    EXPECT_FALSE(parser.parse(badBuffer));
    EXPECT_EQ(parser.RootNode(), before);
    EXPECT_EQ(parser.elementCount(), 1);

    EXPECT_FALSE(read("", &error));
    EXPECT_FALSE(read("<a></a><b/>", &error));
}

TEST(XmlWriter, NestedEmptyAndAttributedElements)
{
    EXPECT_EQ(rewrite("<root a=\"1\" b='two'><child>text</child><empty/><parent><leaf x=\"y\"/>"
                      "<p2><deep/></p2></parent></root>"),
              kDecl + "<root a=\"1\" b=\"two\">\r\n"
                      " <child>text</child>\r\n"
                      " <empty></empty>\r\n"
                      " <parent>\r\n"
                      "  <leaf x=\"y\"></leaf>\r\n"
                      "  <p2>\r\n"
                      "   <deep></deep>\r\n"
                      "  </p2>\r\n"
                      " </parent>\r\n"
                      "</root>\r\n");
    EXPECT_EQ(rewrite("<only/>"), kDecl + "<only></only>\r\n");
}

TEST(XmlWriter, EscapesWhatWouldNotReadBackTheSame)
{
    EXPECT_EQ(rewrite("<r q=\"a &quot;b&quot; 'c' &amp; &lt;d&gt;\" t=\"1&#9;2&#10;3&#13;4\">"
                      "x &amp; y &lt; z &gt; w ]]&gt; ' \" &#13;</r>"),
              kDecl + "<r q=\"a &quot;b&quot; 'c' &amp; &lt;d>\" t=\"1&#9;2&#10;3&#13;4\">"
                      "x &amp; y &lt; z > w ]]&gt; ' \" &#13;</r>\r\n");
    // A line break inside a text is written as CR LF; non-ASCII text as UTF-8 without a
    // byte-order mark.
    const QByteArray multi = rewrite("<r>line one\r\nline two\nZ\xc3\xa9\xe6\x97\xa5\xf0\x9f\x9a\x82</r>");
    EXPECT_EQ(multi, kDecl + "<r>line one\r\nline two\r\nZ\xc3\xa9\xe6\x97\xa5\xf0\x9f\x9a\x82</r>\r\n");
}

TEST(XmlWriter, PrefixedNamesAndNamespaceDeclarationsStayAsWritten)
{
    EXPECT_EQ(rewrite("<d:root xmlns:d=\"http://www.kuju.com/TnT/2003/Delta\" d:id=\"5\">"
                      "<d:item d:type=\"cDeltaString\">v</d:item><plain xmlns=\"urn:x\"/></d:root>"),
              kDecl + "<d:root xmlns:d=\"http://www.kuju.com/TnT/2003/Delta\" d:id=\"5\">\r\n"
                      " <d:item d:type=\"cDeltaString\">v</d:item>\r\n"
                      " <plain xmlns=\"urn:x\"></plain>\r\n"
                      "</d:root>\r\n");
}

TEST(XmlWriter, TabIndentedFileKeepsEachParentsWhitespaceAfterItsStartTag)
{
    // A parent's text is the run before its end tag (a line break and the indentation);
    // whitespace only, it is the writer's to lay out: the start tag's line ends and the first
    // child follows at its own column.
    const QByteArray serz = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                            "<cBlueprintLoader xmlns:d=\"http://www.kuju.com/TnT/2003/Delta\" d:version=\"1.0\">\r\n"
                            "\t<Blueprint>\r\n"
                            "\t\t<Name d:type=\"cDeltaString\">Loco</Name>\r\n"
                            "\t\t<Empty/>\r\n"
                            "\t\t<Deep>\r\n"
                            "\t\t\t<Leaf>1</Leaf>\r\n"
                            "\t\t</Deep>\r\n"
                            "\t</Blueprint>\r\n"
                            "</cBlueprintLoader>\r\n";
    const QByteArray once = rewrite(serz);
    EXPECT_EQ(once, kDecl + "<cBlueprintLoader xmlns:d=\"http://www.kuju.com/TnT/2003/Delta\" d:version=\"1.0\">\r\n"
                            " <Blueprint>\r\n"
                            "  <Name d:type=\"cDeltaString\">Loco</Name>\r\n"
                            "  <Empty></Empty>\r\n"
                            "  <Deep>\r\n"
                            "   <Leaf>1</Leaf>\r\n"
                            "  </Deep>\r\n"
                            " </Blueprint>\r\n"
                            "</cBlueprintLoader>\r\n");
    // Read again, each parent's text is the writer's own layout; the file reads and writes
    // back byte for byte.
    const QByteArray twice = rewrite(once);
    EXPECT_EQ(twice, kDecl + "<cBlueprintLoader xmlns:d=\"http://www.kuju.com/TnT/2003/Delta\" d:version=\"1.0\">\r\n"
                             " <Blueprint>\r\n"
                             "  <Name d:type=\"cDeltaString\">Loco</Name>\r\n"
                             "  <Empty></Empty>\r\n"
                             "  <Deep>\r\n"
                             "   <Leaf>1</Leaf>\r\n"
                             "  </Deep>\r\n"
                             " </Blueprint>\r\n"
                             "</cBlueprintLoader>\r\n");
    EXPECT_EQ(rewrite(twice), twice);
}

TEST(XmlWriter, TextBeyondTheChildsColumnEndsTheLineFirst)
{
    // Mixed content: the parent keeps its last run; written after the start tag it leaves
    // the line beyond the child's column, so the child starts a new line.
    EXPECT_EQ(rewrite("<p>Hello <b>bold</b> world</p>"),
              kDecl + "<p> world\r\n <b>bold</b>\r\n</p>\r\n");
    // Whitespace deeper than the child's column is layout, laid out anew.
    EXPECT_EQ(rewrite("<a><b/>\n\t\t\t\t</a>"), kDecl + "<a>\r\n <b></b>\r\n</a>\r\n");
}

TEST(XmlReadWrite, TheFirstSaveReadsAndWritesBackByteForByte)
{
    const QByteArray layout = kDecl + "<r>\r\n <a>\r\n  <b>x</b>\r\n </a>\r\n</r>\r\n";
    struct Row {
        QByteArray source;
        QByteArray firstSave; // empty: only the fixed point is checked
    };
    const Row rows[] = {
        {"<r>\n\t<a>\n\t\t<b>x</b>\n\t</a>\n</r>", layout},
        {"<r>\r\n\t<a>\r\n\t\t<b>x</b>\r\n\t</a>\r\n</r>\r\n", layout},
        {"<r>\n    <a>\n        <b>x</b>\n    </a>\n</r>", layout},
        {"<r><a><b>x</b></a></r>", layout},
        {"<r> <a>\t<b>x</b>   \n\n\t\t\t\t\t</a>\r\n\t </r>", layout},
        // Whitespace of elements without children is their text and stays.
        {"<r>\n\t<a>\n\t\t<b> \t</b>\n\t\t<c>\n</c>\n\t</a>\n</r>",
         kDecl + "<r>\r\n <a>\r\n  <b> \t</b>\r\n  <c>\r\n</c>\r\n </a>\r\n</r>\r\n"},
        {"<cRecordSet xmlns:d=\"urn:d\">\n\t<Record>\n\t\t<cEntity d:id=\"7\">\n\t\t\t<Name>N &amp; M</Name>\n"
         "\t\t\t<Empty/>\n\t\t</cEntity>\n\t\t<Other/>\n\t</Record>\n</cRecordSet>\n",
         QByteArray()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.source.constData());
        const QByteArray once = rewrite(row.source);
        if (!row.firstSave.isEmpty()) {
            EXPECT_EQ(once, row.firstSave);
        }
        EXPECT_EQ(rewrite(once), once);
    }
}

TEST(XmlReadWrite, ReadWriteReadGivesTheSameTree)
{
    const QByteArray source =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<!-- a comment -->\n"
        "<cRecordSet xmlns:d=\"http://www.kuju.com/TnT/2003/Delta\" d:version=\"1.0\" d:id=\"35\">\n"
        "\t<Record>\n"
        "\t\t<cEntity d:id=\"7\" note=\"say &quot;hi&quot; &amp; go\" tabbed=\"a&#9;b\">\n"
        "\t\t\t<Name d:type=\"cDeltaString\">Caf\xc3\xa9 &lt;North&gt; &amp; \xe6\x97\xa5</Name>\n"
        "\t\t\t<Text>line1\r\nline2\n\n  indented</Text>\n"
        "\t\t\t<Empty/>\n"
        "\t\t\t<CData><![CDATA[a < b && c ]]]]><![CDATA[> d]]></CData>\n"
        "\t\t\t<Value d:type=\"sFloat32\" d:alt_encoding=\"0000000000000000\" d:precision=\"string\">0.25</Value>\n"
        "\t\t</cEntity>\n"
        "\t</Record>\n"
        "\t<Other></Other>\n"
        "</cRecordSet>\n";
    auto first = read(source);
    ASSERT_TRUE(first);
    const QByteArray written = write(*first);
    auto second = read(written);
    ASSERT_TRUE(second) << written.constData();
    // Leaf texts, names, attributes, order and keys are the same; a parent's text is its
    // layout, which the writer lays out anew.
    EXPECT_EQ(describe(*second, true, false), describe(*first, true, false));
    EXPECT_EQ(second->ChildNodes()->Item(1)->ChildNodes()->Item(1)->ChildNodes()->Item(1)
                  ->ChildNodes()->Item(QStringLiteral("nod7"))->NodeCharacters(),
              QStringLiteral("a < b && c ]]> d"));
    // From the second read on, parents' texts too.
    auto third = read(write(*second));
    EXPECT_EQ(describe(*third), describe(*second));
    EXPECT_EQ(write(*third), write(*second));
}

TEST(XmlReadWrite, NoSixteenBitLimitsOnChildrenAttributesOrDepth)
{
    // (The stream reader checks attribute names for duplicates pairwise, so a little over
    // the 16-bit limit keeps this quick.)
    const int wide = 32800;
    QByteArray xml = "<r";
    for (int i = 0; i < wide; ++i)
        xml += " a" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + "\"";
    xml += ">";
    for (int i = 0; i < wide; ++i)
        xml += "<c>" + QByteArray::number(i) + "</c>";
    xml += "</r>";
    auto doc = read(xml);
    ASSERT_TRUE(doc);
    const clsNode* r = doc->ChildNodes()->Item(1);
    EXPECT_EQ(r->NodeAttributes()->Count(), wide);
    EXPECT_EQ(r->NodeAttributes()->Item(wide)->AttribName(), QStringLiteral("a32799"));
    EXPECT_EQ(r->ChildNodes()->Count(), wide);
    EXPECT_EQ(r->ChildNodes()->Item(QStringLiteral("nod32801"))->NodeCharacters(), QStringLiteral("32799"));
    const QByteArray out = write(*doc);
    EXPECT_TRUE(out.endsWith(" <c>32799</c>\r\n</r>\r\n"));
    EXPECT_TRUE(out.contains(" a32798=\"32798\" a32799=\"32799\">\r\n <c>0</c>\r\n"));
    EXPECT_EQ(out.count("<c>"), wide);

    // Nesting far deeper than 32,767 levels reads; the writer indents without limit.
    const int deep = 40000;
    const QByteArray nested = QByteArray("<a>").repeated(deep) + "x" + QByteArray("</a>").repeated(deep);
    auto chain = read(nested);
    ASSERT_TRUE(chain);
    const clsNode* at = chain.get();
    int depth = 0;
    while (at->ChildNodes()->Count() > 0) {
        at = at->ChildNodes()->Item(1);
        ++depth;
    }
    EXPECT_EQ(depth, deep);
    EXPECT_EQ(at->NodeKey(), QStringLiteral("nod40000"));
    EXPECT_EQ(at->NodeCharacters(), QStringLiteral("x"));

    const int shallow = 3000;
    auto medium = read(QByteArray("<a>").repeated(shallow) + QByteArray("</a>").repeated(shallow));
    const QByteArray indented = write(*medium);
    EXPECT_TRUE(indented.contains("\r\n" + QByteArray(shallow - 1, ' ') + "<a></a>\r\n"
                                  + QByteArray(shallow - 2, ' ') + "</a>\r\n"));
    EXPECT_TRUE(indented.endsWith("\r\n </a>\r\n</a>\r\n"));
}
