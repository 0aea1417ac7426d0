// The browser's text work: display names, the properties-block cut and the removal of
// empty consists, on exact texts.
#include "scenarios/ScenarioBrowser.h"

#include "common/VbError.h"
#include "support/QtPrinters.h"
#include "support/VbErrors.h"

#include <gtest/gtest.h>

using namespace scenarios;

namespace {

QString languages(const QString& en, const QString& fr = {}, const QString& it = {}, const QString& de = {},
                  const QString& es = {})
{
    return QStringLiteral("<DisplayName><English d:type=\"cDeltaString\">%1</English><French>%2</French>"
                          "<Italian>%3</Italian><German>%4</German><Spanish>%5</Spanish></DisplayName>")
        .arg(en, fr, it, de, es);
}

} // namespace

TEST(BrowserText, LocalisedNameTakesTheFirstNonEmptyLanguage)
{
    const QString head = QStringLiteral("<DevString>R1</DevString>");
    qsizetype closing = 0;
    const QString english = head + languages("Valley");
    EXPECT_EQ(localisedName(english, 1, &closing), "Valley");
    EXPECT_EQ(closing, english.indexOf("</English") + 1);

    const QString french = head + languages("", "Vallée");
    EXPECT_EQ(localisedName(french, 1, &closing), QStringLiteral("Vallée"));
    EXPECT_EQ(closing, french.indexOf("</French") + 1);

    EXPECT_EQ(localisedName(head + languages("", "", "", "", "Valle"), 1), "Valle");

    // No text in any language: an empty name; the closing tag is Spanish's.
    const QString none = head + languages("");
    EXPECT_EQ(localisedName(none, 1, &closing), "");
    EXPECT_EQ(closing, none.indexOf("</Spanish") + 1);

    // The search starts at the position given: the second entry's name.
    const QString two = english + QStringLiteral("<DevString>R2</DevString>") + languages("Branch");
    EXPECT_EQ(localisedName(two, two.indexOf("R2") + 1), "Branch");

    // A language element missing on the way is a run-time failure.
    EXPECT_EQ(vbErrorNumber([&] { localisedName(QStringLiteral("<English></English><French></French><German>x</German>"), 1); }), 5);
    EXPECT_EQ(vbErrorNumber([] { localisedName(QStringLiteral("<Name>no languages</Name>"), 1); }), 5);
}

TEST(BrowserText, PlainFolderNames)
{
    EXPECT_TRUE(isPlainFolderName("3e5a7c91-2b4d-4f60-8a1c-d2e3f4a5b6c7"));
    EXPECT_TRUE(isPlainFolderName("My Scenario"));
    for (const char* bad : {"", "   ", ".", "..", "..\\..\\Content", "a/b", "a\\b", "c:", "x..y"})
        EXPECT_FALSE(isPlainFolderName(QString::fromLatin1(bad))) << bad;
}

namespace {

// A scenario list of three blocks, with line ends and text before, between and after them.
const QString kHead = QStringLiteral("<?xml version=\"1.0\"?>\r\n<cRecordSet>\r\n\t<Record>\r\n");
const QString kBlockA = QStringLiteral("<cScenarioProperties d:id=\"1\">\r\n\t<DevString>AAAA-1</DevString>\r\n"
                                       "\t<Name>First</Name>\r\n</cScenarioProperties>");
const QString kBlockB = QStringLiteral("<cScenarioProperties d:id=\"2\">\r\n\t<DevString>bbbb-2</DevString>\r\n"
                                       "\t<Name>Middle</Name>\r\n</cScenarioProperties>");
const QString kBlockC = QStringLiteral("<CSCENARIOPROPERTIES d:id=\"3\">\r\n\t<DevString>cccc-3</DevString>\r\n"
                                       "\t<Name>Last</Name>\r\n</cScenarioProperties>");
const QString kSep = QStringLiteral("\r\n\t\t");
const QString kTail = QStringLiteral("\r\n\t</Record>\r\n</cRecordSet>\r\n");
const QString kList = kHead + kBlockA + kSep + kBlockB + kSep + kBlockC + kTail;

} // namespace

TEST(BrowserText, PropertiesCutOfFirstMiddleAndLastBlock)
{
    const ScenarioPropertiesCut first = cutScenarioProperties(kList, "AAAA-1");
    EXPECT_EQ(first.before, kHead);
    EXPECT_EQ(first.block, kBlockA);
    EXPECT_EQ(first.after, kSep + kBlockB + kSep + kBlockC + kTail);

    // The id is found ignoring case.
    const ScenarioPropertiesCut middle = cutScenarioProperties(kList, "BBBB-2");
    EXPECT_EQ(middle.before, kHead + kBlockA + kSep);
    EXPECT_EQ(middle.block, kBlockB);
    EXPECT_EQ(middle.after, kSep + kBlockC + kTail);

    // The opening tag is found ignoring case too.
    const ScenarioPropertiesCut last = cutScenarioProperties(kList, "cccc-3");
    EXPECT_EQ(last.before, kHead + kBlockA + kSep + kBlockB + kSep);
    EXPECT_EQ(last.block, kBlockC);
    EXPECT_EQ(last.after, kTail);

    for (const ScenarioPropertiesCut& cut : {first, middle, last})
        EXPECT_EQ(cut.before + cut.block + cut.after, kList);

    // A list that is nothing but the block.
    const ScenarioPropertiesCut alone = cutScenarioProperties(kBlockB, "bbbb-2");
    EXPECT_EQ(alone.before, "");
    EXPECT_EQ(alone.block, kBlockB);
    EXPECT_EQ(alone.after, "");
}

TEST(BrowserText, PropertiesCutRefusesWhatItCannotCutCleanly)
{
    EXPECT_EQ(vbErrorNumber([] { cutScenarioProperties(kList, "dddd-4"); }), 5);  // id absent
    EXPECT_EQ(vbErrorNumber([] { cutScenarioProperties(kList, ""); }), 5);
    // No block opens before the id.
    EXPECT_EQ(vbErrorNumber([] { cutScenarioProperties(QStringLiteral("<DevString>x-1</DevString>") + kBlockA, "x-1"); }),
              5);
    // The block holding the id is not closed.
    const QString unclosed = kHead + QStringLiteral("<cScenarioProperties><DevString>e-5</DevString>");
    EXPECT_EQ(vbErrorNumber([&] { cutScenarioProperties(unclosed, "e-5"); }), 5);
    // The id stands between blocks: the block before it does not hold it.
    const QString between = kHead + kBlockA + QStringLiteral("<Note>f-6</Note>") + kBlockB;
    EXPECT_EQ(vbErrorNumber([&] { cutScenarioProperties(between, "f-6"); }), 5);
}

namespace {

QString consist(const QString& id, bool withVehicle)
{
    return QStringLiteral("<cConsist d:id=\"%1\">\r\n\t\t<RailVehicles>%2</RailVehicles>\r\n\t\t<Name>%1</Name>\r\n\t</cConsist>")
        .arg(id, withVehicle ? QStringLiteral("<cOwnedEntity d:id=\"v%1\"><Name>Loco</Name></cOwnedEntity>").arg(id)
                             : QString());
}

const QString kScenarioHead = QStringLiteral("<?xml version=\"1.0\"?>\r\n<cRecordSet>\r\n\t<Record>\r\n\t");
const QString kGap = QStringLiteral("\r\n\t");
const QString kScenarioTail = QStringLiteral("\r\n\t</Record>\r\n</cRecordSet>\r\n");

} // namespace

TEST(BrowserText, EmptyConsistFirstBetweenAndLast)
{
    const QString full1 = consist("1", true);
    const QString full2 = consist("2", true);
    const QString empty = consist("9", false);
    int removed = -1;

    // First: everything from its "<" up to the character before the next consist's "<" goes;
    // that character (the tab of the gap) stays.
    const QString first = kScenarioHead + empty + kGap + full1 + kGap + full2 + kScenarioTail;
    EXPECT_EQ(removeEmptyConsists(first, &removed),
              kScenarioHead + QStringLiteral("\t") + full1 + kGap + full2 + kScenarioTail);
    EXPECT_EQ(removed, 1);

    const QString between = kScenarioHead + full1 + kGap + empty + kGap + full2 + kScenarioTail;
    EXPECT_EQ(removeEmptyConsists(between, &removed),
              kScenarioHead + full1 + kGap + QStringLiteral("\t") + full2 + kScenarioTail);
    EXPECT_EQ(removed, 1);

    // Last: everything through the ">" of its closing tag goes.
    const QString last = kScenarioHead + full1 + kGap + full2 + kGap + empty + kScenarioTail;
    EXPECT_EQ(removeEmptyConsists(last, &removed), kScenarioHead + full1 + kGap + full2 + kGap + kScenarioTail);
    EXPECT_EQ(removed, 1);

    // Two empty consists in a row, and a scenario of nothing but empty consists.
    const QString pair = kScenarioHead + full1 + kGap + empty + kGap + consist("8", false) + kGap + full2 + kScenarioTail;
    EXPECT_EQ(removeEmptyConsists(pair, &removed),
              kScenarioHead + full1 + kGap + QStringLiteral("\t\t") + full2 + kScenarioTail);
    EXPECT_EQ(removed, 2);
    const QString allEmpty = kScenarioHead + empty + kGap + consist("8", false) + kScenarioTail;
    EXPECT_EQ(removeEmptyConsists(allEmpty, &removed), kScenarioHead + QStringLiteral("\t") + kScenarioTail);
    EXPECT_EQ(removed, 2);
}

TEST(BrowserText, ConsistsWithVehiclesAndOddShapes)
{
    int removed = -1;
    const QString full = kScenarioHead + consist("1", true) + kGap + consist("2", true) + kScenarioTail;
    EXPECT_EQ(removeEmptyConsists(full, &removed), full);
    EXPECT_EQ(removed, 0);

    const QString noConsists = QStringLiteral("<cRecordSet><Record/></cRecordSet>");
    EXPECT_EQ(removeEmptyConsists(noConsists, &removed), noConsists);
    EXPECT_EQ(removed, 0);

    // The first vehicle after an empty consist lies in the next one: the empty one still goes.
    const QString beyond = kScenarioHead + consist("9", false) + kGap + consist("1", true) + kScenarioTail;
    EXPECT_EQ(removeEmptyConsists(beyond, &removed),
              kScenarioHead + QStringLiteral("\t") + consist("1", true) + kScenarioTail);
    EXPECT_EQ(removed, 1);

    // Tags are found ignoring case.
    QString upper = consist("7", false);
    upper.replace("<cConsist d:id", "<CCONSIST D:ID").replace("</cConsist>", "</CCONSIST>");
    EXPECT_EQ(removeEmptyConsists(kScenarioHead + upper + kScenarioTail), kScenarioHead + kScenarioTail);

    // A last consist without its closing tag is left as it is.
    const QString unclosed = kScenarioHead + QStringLiteral("<cConsist d:id=\"5\"><RailVehicles></RailVehicles>");
    EXPECT_EQ(removeEmptyConsists(unclosed, &removed), unclosed);
    EXPECT_EQ(removed, 0);
}
