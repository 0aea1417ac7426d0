// The child entries of a rolling-stock blueprint: their names, the cut of chosen entries, the
// dead-stock cut of the whole "Children" element, and the save dialog's suffixes and checks.

#include "assets/ChildEntries.h"
#include "common/VbError.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace assets;

namespace {

// A coach blueprint as the serializer writes it, lines joined by eol.
QString coach(const QString& eol, const QStringList& children)
{
    QStringList lines{
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
        "<cBlueprintLoader xmlns:d=\"http://www.kuju.com/TnT/2003/Delta\">",
        "\t<Blueprint>",
        "\t\t<cWagonBlueprint>",
        "\t\t\t<Name d:type=\"cDeltaString\">Class A</Name>",
        "\t\t\t<ContainerComponent>",
        "\t\t\t\t<cEntityContainerBlueprint>",
        "\t\t\t\t\t<Children>",
    };
    for (const QString& name : children) {
        if (name == "-") { // a cut entry leaves its indentation and the line break after it
            lines << "\t\t\t\t\t\t";
            continue;
        }
        lines << "\t\t\t\t\t\t<cEntityContainerBlueprint-sChild d:id=\"7\">"
              << "\t\t\t\t\t\t\t<ChildName d:type=\"cDeltaString\">" + name + "</ChildName>"
              << "\t\t\t\t\t\t\t<BlueprintID>" + name + ".xml</BlueprintID>"
              << "\t\t\t\t\t\t</cEntityContainerBlueprint-sChild>";
    }
    lines << "\t\t\t\t\t</Children>"
          << "\t\t\t\t</cEntityContainerBlueprint>"
          << "\t\t\t</ContainerComponent>"
          << "\t\t\t<Label>tail</Label>"
          << "\t\t</cWagonBlueprint>"
          << "\t</Blueprint>"
          << "</cBlueprintLoader>";
    return lines.join(eol) + eol;
}

const QStringList kEols{QStringLiteral("\r\n"), QStringLiteral("\n")};

} // namespace

TEST(ChildEntries, NamesAfterTheContainerInOrder)
{
    const QString crlf = QStringLiteral("\r\n");
    struct Case {
        const char* what;
        QString xml;
        QStringList names;
    } cases[] = {
        {"three entries, a name twice", coach(crlf, {"Driver", "Lamp", "Driver"}), {"Driver", "Lamp", "Driver"}},
        {"no entries", coach(crlf, {}), {}},
        {"no container", QString(coach(crlf, {"Driver"})).replace("ContainerComponent", "OtherComponent"), {}},
        {"a child name before the container is not listed",
         "<childname>Early</childname><containercomponent><CHILDNAME>Late</CHILDNAME>", {"Late"}},
        {"an unclosed last name ends the list", "<ContainerComponent><ChildName>A</ChildName><ChildName>B", {"A"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(childEntryNames(c.xml), c.names) << c.what;
}

TEST(ChildEntries, CutsKeepIndentationAndLineBreaks)
{
    struct Case {
        const char* what;
        QStringList cut;
        QStringList left;    // the entries the golden text keeps
        QStringList skipped; // names not cut
    } cases[] = {
        {"nothing selected", {}, {"Driver", "Lamp", "Driver"}, {}},
        {"one entry", {"Lamp"}, {"Driver", "-", "Driver"}, {}},
        {"two same-named entries, both selected", {"Driver", "Driver"}, {"-", "Lamp", "-"}, {}},
        {"names in another case", {"LAMP", "driver"}, {"-", "-", "Driver"}, {}},
        {"every entry", {"Lamp", "Driver", "Driver"}, {"-", "-", "-"}, {}},
        {"a name no longer there", {"Lamp", "Lamp"}, {"Driver", "-", "Driver"}, {"Lamp"}},
        {"the display name before <Children>", {"Class A"}, {"Driver", "Lamp", "Driver"}, {"Class A"}},
        {"an element after </Children>, with no entry around it", {"TAIL"}, {"Driver", "Lamp", "Driver"}, {"TAIL"}},
    };
    for (const QString& eol : kEols) {
        const QString xml = coach(eol, {"Driver", "Lamp", "Driver"});
        for (const Case& c : cases) {
            const ChildCut result = cutChildEntries(xml, c.cut);
            EXPECT_EQ(result.text.toStdString(), coach(eol, c.left).toStdString())
                << c.what << (eol.size() == 2 ? " CR LF" : " LF");
            EXPECT_EQ(result.skipped, c.skipped) << c.what;
        }
    }
    // No "<Children>" at all: nothing is cut from the start of the text.
    const QString bare = QStringLiteral("<cEntityContainerBlueprint-sChild><ChildName>A</ChildName>"
                                        "</cEntityContainerBlueprint-sChild>");
    const ChildCut result = cutChildEntries(bare, {QStringLiteral("A")});
    EXPECT_EQ(result.text, bare);
    EXPECT_EQ(result.skipped, QStringList{"A"});
}

TEST(ChildEntries, DeadCutTakesTheLineBreakBeforeTheElement)
{
    for (const QString& eol : kEols) {
        QString text = coach(eol, {"Driver", "Lamp"});
        ASSERT_EQ(cutChildrenElement(text), DeadCut::Done);
        const QString golden = QStringList{
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
            "<cBlueprintLoader xmlns:d=\"http://www.kuju.com/TnT/2003/Delta\">",
            "\t<Blueprint>",
            "\t\t<cWagonBlueprint>",
            "\t\t\t<Name d:type=\"cDeltaString\">Class A</Name>",
            "\t\t\t<ContainerComponent>",
            "\t\t\t\t<cEntityContainerBlueprint>",
            "\t\t\t\t</cEntityContainerBlueprint>",
            "\t\t\t</ContainerComponent>",
            "\t\t\t<Label>tail</Label>",
            "\t\t</cWagonBlueprint>",
            "\t</Blueprint>",
            "</cBlueprintLoader>",
        }.join(eol) + eol;
        EXPECT_EQ(text, golden) << eol.size();
    }

    struct Case {
        const char* what;
        QString text;
        DeadCut result;
        QString after;
    } cases[] = {
        {"element on the first line", "<children><a/></CHILDREN>\r\n<b/>", DeadCut::Done, "\r\n<b/>"},
        {"a lone CR is no line break", "<x/>\r<Children></Children>\n", DeadCut::Done, "<x/>\r\n"},
        {"no <Children>", "<x/>\r\n<y/>", DeadCut::NoChildren, "<x/>\r\n<y/>"},
        {"no </Children> after it", "</Children>\r\n<Children>\r\n<y/>", DeadCut::NoChildrenEnd,
         "</Children>\r\n<Children>\r\n<y/>"},
    };
    for (Case& c : cases) {
        EXPECT_EQ(cutChildrenElement(c.text), c.result) << c.what;
        EXPECT_EQ(c.text, c.after) << c.what;
    }
    EXPECT_TRUE(deadCutMessage(DeadCut::NoChildren, "C:\\G\\a.bin").startsWith("C:\\G\\a.bin has no <Children>"));
    EXPECT_TRUE(deadCutMessage(DeadCut::NoChildrenEnd, "x").contains("no </Children>"));
    EXPECT_EQ(deadCutMessage(DeadCut::Done, "x"), QString());
    EXPECT_EQ(deadItemName(QStringLiteral("  Class A ")), QStringLiteral("Class A_Dead"));
    EXPECT_EQ(deadBaseName(QStringLiteral("class")), QStringLiteral("class_Dead"));
}

TEST(ChildEntries, SaveDialogSuffixesAndChecks)
{
    const char* suffixes[] = {"_MT", "_DO", "_PO", "_ND", "_DF", "_DR", "_DEAD", ""};
    const char* captions[] = {"Empty", "Driver Only (EMU/DMU)", "Passengers Only (EMU/DMU)", "No Driver",
                              "Driver Front", "Driver Rear", "Dead", "Spare"};
    for (int i = 0; i < kCoachOptionCount; ++i) {
        EXPECT_STREQ(coachOption(i).suffix, suffixes[i]) << i;
        EXPECT_STREQ(coachOption(i).caption, captions[i]) << i;
    }
    EXPECT_THROW(coachOption(8), VbError);

    const QString empty = QStringLiteral("You have failed to complete one of the boxes?");
    struct Case {
        QString file;
        QString name;
        QString refusal; // "" accepted, "bad" the file-name message
    } cases[] = {
        {"class_MT", "Class A_MT", ""}, {"a.b", "x", ""},          {"", "x", empty},     {"x", "", empty},
        {"   ", "x", empty},            {"x", "  ", empty},        {".", "x", "bad"},    {"..", "x", "bad"},
        {"a\\b", "x", "bad"},           {"a/b", "x", "bad"},       {"c:x", "x", "bad"},  {"a*", "x", "bad"},
        {"a?", "x", "bad"},             {"\"a\"", "x", "bad"},     {"<a>", "x", "bad"},  {"a|b", "x", "bad"},
    };
    for (const Case& c : cases) {
        const QString expected = c.refusal == "bad" ? badFileNameMessage(c.file) : c.refusal;
        EXPECT_EQ(coachNameRefusal(c.file, c.name), expected) << c.file.toStdString() << "|" << c.name.toStdString();
    }
    EXPECT_TRUE(badFileNameMessage("a*").startsWith("\"a*\" cannot be used as a file name."));
}
