// The scenario editor's localised-text, start-time and level helpers, and the asset window's
// rename chain.

#include "common/TagText.h"
#include "common/VbError.h"

#include "support/ScriptedUi.h"
#include "support/VbErrors.h"

#include <gtest/gtest.h>

namespace {

// --- PutLocalisedText (scenario editor) ---------------------------------------------------

TEST(ScenarioPutLocalisedText, EnglishOnlyStopsAfterEnglish)
{
    QString text = QStringLiteral("<DisplayName><English d:type=\"cDeltaString\">Old</English></DisplayName>");
    tags::scenarioEditor::PutLocalisedText(text, 1, QStringLiteral(" New "));
    EXPECT_EQ(text, QStringLiteral("<DisplayName><English d:type=\"cDeltaString\"> New </English></DisplayName>"));
}

TEST(ScenarioPutLocalisedText, AllFiveLanguagesGetTheSameValue)
{
    QString text = QStringLiteral("<D><english>a</english><French>b</French><Italian>c</Italian>"
                                  "<German>d</German><Spanish>e</Spanish></D>");
    tags::scenarioEditor::PutLocalisedText(text, 1, QStringLiteral("Name"));
    EXPECT_EQ(text, QStringLiteral("<D><english>Name</english><French>Name</French><Italian>Name</Italian>"
                                   "<German>Name</German><Spanish>Name</Spanish></D>"));
}

TEST(ScenarioPutLocalisedText, SearchesFromTheGivenPosition)
{
    // "<B>" stands at 28; the first block is left alone.
    QString text = QStringLiteral("<A><English>a</English></A><B><English>b</English><French>c</French>"
                                  "<Italian>d</Italian><German>e</German><Spanish>f</Spanish></B>");
    tags::scenarioEditor::PutLocalisedText(text, 28, QStringLiteral("xy"));
    EXPECT_EQ(text, QStringLiteral("<A><English>a</English></A><B><English>xy</English><French>xy</French>"
                                   "<Italian>xy</Italian><German>xy</German><Spanish>xy</Spanish></B>"));
}

TEST(ScenarioPutLocalisedText, MissingLanguagesFailOutward)
{
    QString text = QStringLiteral("<D>nothing</D>");
    expectVbError(5, [&] { tags::scenarioEditor::PutLocalisedText(text, 1, QStringLiteral("N")); });
    EXPECT_EQ(text, QStringLiteral("<D>nothing</D>"));

    // French without Italian: English and French are already written when it fails.
    text = QStringLiteral("<English>a</English><French>b</French><German>d</German>");
    expectVbError(5, [&] { tags::scenarioEditor::PutLocalisedText(text, 1, QStringLiteral("N")); });
    EXPECT_EQ(text, QStringLiteral("<English>N</English><French>N</French><German>d</German>"));

    text = QStringLiteral("<English>a</English><French>b</French><Italian>c</Italian><Spanish>e</Spanish>");
    expectVbError(5, [&] { tags::scenarioEditor::PutLocalisedText(text, 1, QStringLiteral("N")); });
    EXPECT_EQ(text, QStringLiteral("<English>N</English><French>N</French><Italian>N</Italian><Spanish>e</Spanish>"));
}

// --- GetLocalisedText -----------------------------------------------------------------------

TEST(ScenarioGetLocalisedText, FirstNonEmptyLanguageWins)
{
    const QString all = QStringLiteral("<English d:type=\"cDeltaString\">Hello</English><French>Bonjour</French>"
                                       "<Italian></Italian><German></German><Spanish></Spanish>");
    QString result;
    tags::scenarioEditor::GetLocalisedText(all, 1, result);
    EXPECT_EQ(result, QStringLiteral("Hello"));

    const QString french = QStringLiteral("<English d:type=\"cDeltaString\"></English><French>Bonjour</French>"
                                          "<Italian>x</Italian><German></German><Spanish></Spanish>");
    tags::scenarioEditor::GetLocalisedText(french, 1, result);
    EXPECT_EQ(result, QStringLiteral("Bonjour"));

    const QString spanish = QStringLiteral("<English></English><French></French><Italian></Italian>"
                                           "<German></German><Spanish>Hola</Spanish>");
    tags::scenarioEditor::GetLocalisedText(spanish, 1, result);
    EXPECT_EQ(result, QStringLiteral("Hola"));

    const QString none = QStringLiteral("<English></English><French></French><Italian></Italian>"
                                        "<German></German><Spanish></Spanish>");
    result = QStringLiteral("old");
    tags::scenarioEditor::GetLocalisedText(none, 1, result);
    EXPECT_EQ(result, QString());
}

TEST(ScenarioGetLocalisedText, MissingLanguagesOnTheWayFailOutward)
{
    QString result;
    // English found and not empty: the missing French is never looked for.
    tags::scenarioEditor::GetLocalisedText(QStringLiteral("<English>Hi</English>"), 1, result);
    EXPECT_EQ(result, QStringLiteral("Hi"));

    expectVbError(5, [&] { tags::scenarioEditor::GetLocalisedText(QStringLiteral("<English></English>"), 1, result); });
    expectVbError(5, [&] {
        tags::scenarioEditor::GetLocalisedText(QStringLiteral("<English></English><French></French><German>G</German>"),
                                               1, result);
    });
    expectVbError(5, [&] { tags::scenarioEditor::GetLocalisedText(QStringLiteral("<D/>"), 1, result); });
}

// --- The asset window's rename chain --------------------------------------------------------

TEST(AssetRenameChain, WritesNameAndFiveLanguages)
{
    QString text = QStringLiteral(
        "<Name d:type=\"cDeltaString\">Old</Name>\n<DisplayName><English d:type=\"cDeltaString\">Old</English>"
        "<French>Vieux</French><Italian>I</Italian><German>G</German><Spanish>S</Spanish></DisplayName>");
    tags::assetWindow::PutLocalisedTextChain(text, QStringLiteral("Class 66"));
    EXPECT_EQ(text, QStringLiteral("<Name d:type=\"cDeltaString\">Class 66</Name>\n<DisplayName>"
                                   "<English d:type=\"cDeltaString\">Class 66</English><French>Class 66</French>"
                                   "<Italian>Class 66</Italian><German>Class 66</German><Spanish>Class 66</Spanish>"
                                   "</DisplayName>"));
}

TEST(AssetRenameChain, StopsAtTheFirstMissingElement)
{
    // No French: Name and English change; German stays although it is there.
    QString text = QStringLiteral("<Name d:type=\"x\">Old</Name><English>E</English><German>G</German>");
    tags::assetWindow::PutLocalisedTextChain(text, QStringLiteral("New"));
    EXPECT_EQ(text, QStringLiteral("<Name d:type=\"x\">New</Name><English>New</English><German>G</German>"));

    // Without "<Name " (with its blank) nothing changes.
    text = QStringLiteral("<Name>Old</Name><English>Old</English>");
    tags::assetWindow::PutLocalisedTextChain(text, QStringLiteral("New"));
    EXPECT_EQ(text, QStringLiteral("<Name>Old</Name><English>Old</English>"));

    // "<Name " skips a longer name; the chain starts at the real one.
    text = QStringLiteral("<NameX a=\"1\">x</NameX><Name b=\"2\">Old</Name>");
    tags::assetWindow::PutLocalisedTextChain(text, QStringLiteral("New"));
    EXPECT_EQ(text, QStringLiteral("<NameX a=\"1\">x</NameX><Name b=\"2\">New</Name>"));
}

// --- PutTime ---------------------------------------------------------------------------------

struct TimeCase {
    const char* text;
    qint32 seconds;
    const char* expectedText;
    qint32 expectedSeconds;
    qsizetype expectedPos;
};

TEST(PutTime, AddsWrapsOnceAndWritesAPlainInteger)
{
    const TimeCase cases[] = {
        {"<StartTime>86000</StartTime>", 600, "<StartTime>200</StartTime>", 200, 17},
        {"<StartTime>86000</StartTime>", -90000, "<StartTime>-4000</StartTime>", -4000, 17},
        {"<StartTime>86000</StartTime>", 400, "<StartTime>86400</StartTime>", 86400, 17},
        {"<StartTime>86000</StartTime>", 90000, "<StartTime>89600</StartTime>", 89600, 17},
        {"<StartTime d:type=\"sFloat32\">25200.0000</StartTime>", 600,
         "<StartTime d:type=\"sFloat32\">25800</StartTime>", 25800, 40},
        {"<starttime>2.5</STARTTIME>", 10, "<starttime>12</STARTTIME>", 12, 15},
        {"<StartTime>3.5</StartTime>", 0, "<StartTime>4</StartTime>", 4, 15},
        {"<StartTime>0.5</StartTime>", 0, "<StartTime>0</StartTime>", 0, 15},
        {"<StartTime>abc</StartTime>", 600, "<StartTime>600</StartTime>", 600, 15},
        {"<StartTime>0</StartTime>", -30, "<StartTime>-30</StartTime>", -30, 13},
    };
    for (const TimeCase& c : cases) {
        QString text = QString::fromLatin1(c.text);
        qsizetype pos = 1;
        qint32 seconds = c.seconds;
        tags::scenarioEditor::PutTime(text, pos, QStringLiteral("StartTime"), seconds);
        EXPECT_EQ(text, QString::fromLatin1(c.expectedText)) << c.text;
        EXPECT_EQ(seconds, c.expectedSeconds) << c.text;
        EXPECT_EQ(pos, c.expectedPos) << c.text;
    }
}

TEST(PutTime, FailuresLeaveTheText)
{
    const char* texts[] = {"<Other>5</Other>", "<StartTime>5", "<StartTime>99999999999</StartTime>"};
    for (const char* t : texts) {
        QString text = QString::fromLatin1(t);
        qsizetype pos = 1;
        qint32 seconds = 600;
        tags::scenarioEditor::PutTime(text, pos, QStringLiteral("StartTime"), seconds);
        EXPECT_EQ(text, QString::fromLatin1(t));
        EXPECT_EQ(pos, 0);
        EXPECT_EQ(seconds, 600) << t;
    }
    // A sum beyond 32 bits.
    QString text = QStringLiteral("<StartTime>1000</StartTime>");
    qsizetype pos = 1;
    qint32 seconds = 2147483000;
    tags::scenarioEditor::PutTime(text, pos, QStringLiteral("StartTime"), seconds);
    EXPECT_EQ(text, QStringLiteral("<StartTime>1000</StartTime>"));
    EXPECT_EQ(pos, 0);

    pos = 0;
    seconds = 5;
    tags::scenarioEditor::PutTime(text, pos, QStringLiteral("StartTime"), seconds);
    EXPECT_EQ(text, QStringLiteral("<StartTime>1000</StartTime>"));
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(seconds, 5);
}

// --- ShiftAllStartTimes ----------------------------------------------------------------------

const char* const scenario =
    "<cScenario><StartTime>100</StartTime>\n"
    "<cConsist><StartTime d:type=\"sFloat32\">25200.0000</StartTime></cConsist>\n"
    "<cConsist><StartTimeX>50</StartTimeX></cConsist>\n"
    "<cConsist><starttime>86000</starttime></cConsist></cScenario>";

TEST(ShiftAllStartTimes, ShiftsTheScenarioAndEveryConsist)
{
    ScriptedUi ui;
    QString text = QString::fromLatin1(scenario);
    tags::scenarioEditor::ShiftAllStartTimes(text, 600);
    EXPECT_EQ(text, QStringLiteral("<cScenario><StartTime>700</StartTime>\n"
                                   "<cConsist><StartTime d:type=\"sFloat32\">25800</StartTime></cConsist>\n"
                                   "<cConsist><StartTimeX>650</StartTimeX></cConsist>\n"
                                   "<cConsist><starttime>200</starttime></cConsist></cScenario>"));

    text = QString::fromLatin1(scenario);
    tags::scenarioEditor::ShiftAllStartTimes(text, -1000);
    EXPECT_EQ(text, QStringLiteral("<cScenario><StartTime>-900</StartTime>\n"
                                   "<cConsist><StartTime d:type=\"sFloat32\">24200</StartTime></cConsist>\n"
                                   "<cConsist><StartTimeX>-950</StartTimeX></cConsist>\n"
                                   "<cConsist><starttime>85000</starttime></cConsist></cScenario>"));

    text = QStringLiteral("<cScenario>no times</cScenario>");
    tags::scenarioEditor::ShiftAllStartTimes(text, 600);
    EXPECT_EQ(text, QStringLiteral("<cScenario>no times</cScenario>"));
}

// --- SwapInitialLevels -----------------------------------------------------------------------

TEST(SwapInitialLevels, ExchangesTheFirstTwoElements)
{
    QString text = QStringLiteral("<cOwnedEntity><InitialLevel><e d:type=\"sFloat32\">1</e>"
                                  "<e d:type=\"sFloat32\">0.5</e></InitialLevel></cOwnedEntity>");
    tags::scenarioEditor::SwapInitialLevels(text);
    EXPECT_EQ(text, QStringLiteral("<cOwnedEntity><InitialLevel><e d:type=\"sFloat32\">0.5</e>"
                                   "<e d:type=\"sFloat32\">1</e></InitialLevel></cOwnedEntity>"));

    // Elements before InitialLevel, the text between and a third element stay in place.
    text = QStringLiteral("<e>9</e><initiallevel>\n\t<e d:type=\"sFloat32\">50</e>\n\t"
                          "<e d:type=\"sFloat32\">20</e>\n\t<e d:type=\"sFloat32\">7</e>\n</initiallevel>");
    tags::scenarioEditor::SwapInitialLevels(text);
    EXPECT_EQ(text, QStringLiteral("<e>9</e><initiallevel>\n\t<e d:type=\"sFloat32\">20</e>\n\t"
                                   "<e d:type=\"sFloat32\">50</e>\n\t<e d:type=\"sFloat32\">7</e>\n</initiallevel>"));
}

TEST(SwapInitialLevels, ElementsWithoutAttributesStayWhole)
{
    QString text = QStringLiteral("<InitialLevel><e>1</e><e>0.5</e></InitialLevel>");
    tags::scenarioEditor::SwapInitialLevels(text);
    EXPECT_EQ(text, QStringLiteral("<InitialLevel><e>0.5</e><e>1</e></InitialLevel>"));
}

TEST(SwapInitialLevels, MissingElementsFailOutward)
{
    const char* texts[] = {"<Levels><e>1</e><e>2</e></Levels>", "<InitialLevel><e>1</e></InitialLevel>",
                           "<InitialLevel/>"};
    for (const char* t : texts) {
        QString text = QString::fromLatin1(t);
        expectVbError(5, [&] { tags::scenarioEditor::SwapInitialLevels(text); });
        EXPECT_EQ(text, QString::fromLatin1(t));
    }
}

TEST(SwapInitialLevels, PositionsBeyondSixteenBits)
{
    const QString padding(40000, QLatin1Char(' '));
    QString text = padding + QStringLiteral("<InitialLevel><e>1</e>") + padding
                   + QStringLiteral("<e>2</e></InitialLevel>");
    tags::scenarioEditor::SwapInitialLevels(text);
    EXPECT_EQ(text, padding + QStringLiteral("<InitialLevel><e>2</e>") + padding
                        + QStringLiteral("<e>1</e></InitialLevel>"));
}

} // namespace
