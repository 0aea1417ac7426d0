// Which entry of a route's scenario list belongs to a scenario folder: the properties block
// cut for the editor and the names listed, with folder names that are part of one another.
#include "BrowserFixture.h"

#include "common/VbError.h"
#include "scenarios/ScenarioBrowser.h"

using namespace browsertest;
using scenarios::ScenarioBrowser;
using scenarios::ScenarioPropertiesCut;
using scenarios::cutScenarioProperties;

namespace {

// One entry of a scenario list; names: English, French, ... (none: no DisplayName at all).
QString entry(const QString& id, const QStringList& names = {}, const QString& extra = {})
{
    static const char* const languages[] = {"English", "French", "Italian", "German", "Spanish"};
    QString out = QStringLiteral("\t\t<cScenarioProperties d:id=\"1\">\r\n\t\t\t<DevString d:type=\"cDeltaString\">") + id
                  + QStringLiteral("</DevString>\r\n");
    if (!names.isEmpty()) {
        out += QStringLiteral("\t\t\t<DisplayName>");
        for (qsizetype i = 0; i < names.size(); ++i)
            out += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(languages[i]), names[i]);
        out += QStringLiteral("</DisplayName>\r\n");
    }
    return out + extra + QStringLiteral("\t\t</cScenarioProperties>\r\n");
}

QString list(const QStringList& entries)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n\t<Record>\r\n")
           + entries.join(QString()) + QStringLiteral("\t</Record>\r\n</cRecordSet>\r\n");
}

// The block as the cut returns it: from its start tag through its end tag.
QString block(const QString& entryText)
{
    return entryText.mid(2, entryText.size() - 4);
}

int errorOf(const QString& text, const QString& id)
{
    try {
        cutScenarioProperties(text, id);
    } catch (const VbError& e) {
        return e.number;
    }
    return 0;
}

} // namespace

TEST(BrowserEntry, TheCutTakesTheEntryWhoseDevStringIsTheFolder)
{
    const QString s1 = entry("S1", {"One"});
    const QString s10 = entry("S10", {"Ten"});
    const QString mentions = entry("A7", {"Seven"}, "\t\t\t<Description><English>after S1</English></Description>\r\n");
    const QString stray = QStringLiteral("\t\t<DevString>S1</DevString>\r\n");
    struct Row {
        const char* what;
        QStringList entries;
        QString id;
        int expected; // index of the entry cut
    };
    const Row rows[] = {
        {"a longer folder name listed first", {s10, s1}, "S1", 1},
        {"the longer one asked for", {s1, s10}, "S10", 1},
        {"letters of another case", {s10, entry("s1", {"One"})}, "S1", 1},
        {"the id in an earlier entry's text", {mentions, s1}, "S1", 1},
        {"a DevString outside every entry", {s10, stray, s1}, "S1", 2},
        {"the only entry", {s1}, "s1", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const QString text = list(row.entries);
        const ScenarioPropertiesCut cut = cutScenarioProperties(text, row.id);
        EXPECT_EQ(cut.block, block(row.entries[row.expected]));
        EXPECT_EQ(cut.before + cut.block + cut.after, text);
    }

    // Only a whole folder name finds an entry.
    EXPECT_EQ(errorOf(list({s10, s1}), "S"), 5);
    EXPECT_EQ(errorOf(list({s10}), "S1"), 5);
    EXPECT_EQ(errorOf(list({s10, stray}), "S1"), 5);
}

using BrowserEntries = BrowserFixture;

TEST_F(BrowserEntries, FoldersWithinOneAnotherListOwnNamesAndCutTheirOwnBlock)
{
    // S10 is listed first; S1 has no names, S7 only an empty English one; S2 all of them.
    const QString s10 = entry("S10", {"Ten", "Dix", "Dieci", "Zehn", "Diez"});
    const QString s1 = entry("S1");
    const QString s7 = entry("S7", {""});
    const QString s2 = entry("S2", {"Two", "Deux", "Due", "Zwei", "Dos"});
    ASSERT_TRUE(writeBinary(route(kValley, "Scenarios.bin"), list({s10, s1, s7, s2}).toUtf8()));
    const QByteArray scenarioBin = bytes(scenario(kValley, kMorning, "Scenario.bin"));
    for (const char* id : {"S10", "S1", "S7", "S2"})
        ASSERT_TRUE(write(scenario(kValley, QString::fromLatin1(id), "Scenario.bin"), scenarioBin));

    ScenarioBrowser browser;
    browser.load();
    browser.listScenarios(0);
    EXPECT_EQ(browser.scenarioRows, (QStringList{"Ten\tS10", "\tS1", "\tS7", "Two\tS2"}));

    // Editing S1 cuts S1's block; the rest of the list, S10's entry included, stays as it was,
    // so the editor's save puts S1's edits into S1's entry.
    struct Row {
        int row;
        QString entryText;
    };
    for (const Row& row : {Row{1, s1}, Row{0, s10}, Row{2, s7}}) {
        SCOPED_TRACE(row.row);
        ASSERT_TRUE(browser.prepareEditor(row.row));
        const SharedState& s = shared();
        EXPECT_EQ(s.ScenarioProperties, block(row.entryText));
        EXPECT_EQ(s.ScenariosTextBefore + s.ScenarioProperties + s.ScenariosTextAfter, list({s10, s1, s7, s2}));
    }
    EXPECT_TRUE(ui.messages().isEmpty());
}
