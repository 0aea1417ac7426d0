// PutDetail, GetDetail and UnEscapeText, in each window's copy.

#include "common/TagText.h"
#include "common/VbError.h"
#include "support/ScopedLocale.h"
#include "support/VbErrors.h"

#include <gtest/gtest.h>

namespace {

using PutFn = void (*)(QString&, qsizetype&, const QString&, const QString&);
using GetFn = void (*)(const QString&, qsizetype&, const QString&, QString&);

// The copies that search ignoring case and write the value as given.
const PutFn referencePutters[] = {tags::hub::PutDetail, tags::routeList::PutDetail,
                                  tags::assetWindow::PutDetail};
const GetFn caseIgnoringGetters[] = {tags::hub::GetDetail, tags::routeList::GetDetail,
                                     tags::assetWindow::GetDetail, tags::scenarioEditor::GetDetail};

TEST(PutDetail, ReplacesTheValueAndReturnsTheClosingTagsPosition)
{
    for (PutFn put : referencePutters) {
        QString text = QStringLiteral("<Speed>10</Speed>");
        qsizetype pos = 1;
        put(text, pos, QStringLiteral("Speed"), QStringLiteral("12"));
        EXPECT_EQ(text, QStringLiteral("<Speed>12</Speed>"));
        EXPECT_EQ(pos, 10);

        // The opening tag's attributes stay; the value starts after its ">". The position is
        // where the closing tag stood before the value grew.
        text = QStringLiteral("<Speed d:type=\"sFloat32\">10</Speed>");
        pos = 1;
        put(text, pos, QStringLiteral("Speed"), QStringLiteral("123.5"));
        EXPECT_EQ(text, QStringLiteral("<Speed d:type=\"sFloat32\">123.5</Speed>"));
        EXPECT_EQ(pos, 28);

        // Case is ignored on both tags.
        text = QStringLiteral("<speed>10</SPEED>");
        pos = 1;
        put(text, pos, QStringLiteral("Speed"), QStringLiteral("  7 "));
        EXPECT_EQ(text, QStringLiteral("<speed>  7 </SPEED>"));
        EXPECT_EQ(pos, 10);
    }
}

TEST(PutDetail, ChainedCallsSearchOnFromTheOldClosingPosition)
{
    QString text = QStringLiteral("<a>1</a><a>2</a>");
    qsizetype pos = 1;
    tags::hub::PutDetail(text, pos, QStringLiteral("a"), QStringLiteral("xyz"));
    EXPECT_EQ(text, QStringLiteral("<a>xyz</a><a>2</a>"));
    EXPECT_EQ(pos, 5);
    tags::hub::PutDetail(text, pos, QStringLiteral("a"), QStringLiteral("q"));
    EXPECT_EQ(text, QStringLiteral("<a>xyz</a><a>q</a>"));
    EXPECT_EQ(pos, 15);
}

TEST(PutDetail, PrefixMatchStopsAtLongerNames)
{
    // "<Name" stops at "<NameX", and "</Name" at "</NameX".
    QString text = QStringLiteral("<NameX>a</NameX><Name>b</Name>");
    qsizetype pos = 1;
    tags::routeList::PutDetail(text, pos, QStringLiteral("Name"), QStringLiteral("z"));
    EXPECT_EQ(text, QStringLiteral("<NameX>z</NameX><Name>b</Name>"));
    EXPECT_EQ(pos, 9);
}

TEST(PutDetail, FailuresLeaveTheTextAndReturnZero)
{
    const PutFn all[] = {tags::hub::PutDetail, tags::routeList::PutDetail, tags::assetWindow::PutDetail,
                         tags::markerConverter::PutDetail, tags::scenarioEditor::PutDetail};
    struct Case {
        const char* text;
        qsizetype pos;
        const char* tag;
    };
    const Case cases[] = {
        {"<Speed>10</Speed>", 1, "Weight"}, // absent tag
        {"<Speed>10</Speed>", 0, "Speed"},  // stopped chain
        {"<Speed>10</Speed>", -3, "Speed"},
        {"<Speed>10</Speed>", 40, "Speed"}, // past the end
        {"<Speed>10", 1, "Speed"},          // no closing tag
        {"x<Speed", 1, "Speed"},            // no ">"
    };
    for (PutFn put : all) {
        for (const Case& c : cases) {
            QString text = QString::fromLatin1(c.text);
            qsizetype pos = c.pos;
            put(text, pos, QString::fromLatin1(c.tag), QStringLiteral("99"));
            EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.text << " from " << c.pos;
            EXPECT_EQ(pos, 0) << c.text << " from " << c.pos;
        }
    }
}

TEST(PutDetail, MarkerConverterSearchesExactly)
{
    QString text = QStringLiteral("<speed>10</speed>");
    qsizetype pos = 1;
    tags::markerConverter::PutDetail(text, pos, QStringLiteral("Speed"), QStringLiteral("12"));
    EXPECT_EQ(text, QStringLiteral("<speed>10</speed>"));
    EXPECT_EQ(pos, 0);

    // The exact copy passes a closing tag of another case; the hub's stops at it.
    const QString mixed = QStringLiteral("<Speed>1</speed><Speed>2</Speed>");
    text = mixed;
    pos = 1;
    tags::markerConverter::PutDetail(text, pos, QStringLiteral("Speed"), QStringLiteral("9"));
    EXPECT_EQ(text, QStringLiteral("<Speed>9</Speed>"));
    EXPECT_EQ(pos, 25);

    text = mixed;
    pos = 1;
    tags::hub::PutDetail(text, pos, QStringLiteral("Speed"), QStringLiteral("9"));
    EXPECT_EQ(text, QStringLiteral("<Speed>9</speed><Speed>2</Speed>"));
    EXPECT_EQ(pos, 9);
}

TEST(PutDetail, ScenarioEditorTrimsBlanksOnly)
{
    QString text = QStringLiteral("<Speed>10</Speed>");
    qsizetype pos = 1;
    tags::scenarioEditor::PutDetail(text, pos, QStringLiteral("Speed"), QStringLiteral("  12  "));
    EXPECT_EQ(text, QStringLiteral("<Speed>12</Speed>"));
    EXPECT_EQ(pos, 10);

    text = QStringLiteral("<Speed>10</Speed>");
    pos = 1;
    tags::scenarioEditor::PutDetail(text, pos, QStringLiteral("Speed"), QStringLiteral("\t12 "));
    EXPECT_EQ(text, QStringLiteral("<Speed>\t12</Speed>"));

    text = QStringLiteral("<Speed>10</Speed>");
    pos = 1;
    tags::hub::PutDetail(text, pos, QStringLiteral("Speed"), QStringLiteral("  12  "));
    EXPECT_EQ(text, QStringLiteral("<Speed>  12  </Speed>"));
}

TEST(GetDetail, ReadsTheValueAndTheClosingTagsPosition)
{
    for (GetFn get : caseIgnoringGetters) {
        QString result;
        qsizetype pos = 1;
        get(QStringLiteral("<Speed d:type=\"sFloat32\">10</Speed>"), pos, QStringLiteral("Speed"), result);
        EXPECT_EQ(result, QStringLiteral("10"));
        EXPECT_EQ(pos, 28);

        pos = 1;
        get(QStringLiteral("<SPEED></speed>"), pos, QStringLiteral("Speed"), result);
        EXPECT_EQ(result, QString());
        EXPECT_EQ(pos, 8);

        // "<Name" first stops at NameX (up to "</NameX"); read on from there, it finds Name.
        const QString names = QStringLiteral("<NameX>a</NameX>\n<Name>b</Name>");
        pos = 1;
        get(names, pos, QStringLiteral("Name"), result);
        EXPECT_EQ(result, QStringLiteral("a"));
        EXPECT_EQ(pos, 9);
        get(names, pos, QStringLiteral("Name"), result);
        EXPECT_EQ(result, QStringLiteral("b"));
        EXPECT_EQ(pos, 25);

        // An absent tag keeps the last value read.
        get(names, pos, QStringLiteral("Name"), result);
        EXPECT_EQ(result, QStringLiteral("b"));
        EXPECT_EQ(pos, 0);
    }
}

TEST(GetDetail, BrokenElementsAndBadPositionsRaiseInvalidArgument)
{
    for (GetFn get : caseIgnoringGetters) {
        QString result = QStringLiteral("kept");
        qsizetype pos = 1;
        expectVbError(5, [&] { get(QStringLiteral("<Speed>10"), pos, QStringLiteral("Speed"), result); });
        expectVbError(5, [&] { get(QStringLiteral("x<Speed"), pos, QStringLiteral("Speed"), result); });
        pos = -1;
        expectVbError(5, [&] { get(QStringLiteral("<Speed>10</Speed>"), pos, QStringLiteral("Speed"), result); });
        EXPECT_EQ(result, QStringLiteral("kept"));
    }
}

TEST(GetDetail, PositionZeroFailsExceptInTheAssetWindow)
{
    const QString text = QStringLiteral("<Speed>10</Speed>");
    const GetFn failing[] = {tags::hub::GetDetail, tags::routeList::GetDetail,
                             tags::scenarioEditor::GetDetail, tags::scenarioEditor::GetDetailExact};
    for (GetFn get : failing) {
        QString result = QStringLiteral("kept");
        qsizetype pos = 0;
        expectVbError(5, [&] { get(text, pos, QStringLiteral("Speed"), result); });
    }

    QString result = QStringLiteral("kept");
    qsizetype pos = 0;
    tags::assetWindow::GetDetail(text, pos, QStringLiteral("Speed"), result);
    EXPECT_EQ(result, QStringLiteral("kept"));
    EXPECT_EQ(pos, 0);
}

TEST(GetDetail, ExactCopyTellsCaseApart)
{
    const QString text = QStringLiteral("<speed>1</speed><Speed>2</Speed>");
    QString result;
    qsizetype pos = 1;
    tags::scenarioEditor::GetDetailExact(text, pos, QStringLiteral("Speed"), result);
    EXPECT_EQ(result, QStringLiteral("2"));
    EXPECT_EQ(pos, 25);

    pos = 1;
    tags::scenarioEditor::GetDetail(text, pos, QStringLiteral("Speed"), result);
    EXPECT_EQ(result, QStringLiteral("1"));
    EXPECT_EQ(pos, 9);

    result = QStringLiteral("kept");
    pos = 1;
    tags::scenarioEditor::GetDetailExact(QStringLiteral("<SPEED>3</SPEED>"), pos, QStringLiteral("Speed"), result);
    EXPECT_EQ(result, QStringLiteral("kept"));
    EXPECT_EQ(pos, 0);
}

TEST(GetDetail, PositionsBeyondSixteenBits)
{
    const QString text = QString(70000, QLatin1Char(' ')) + QStringLiteral("<Speed>10</Speed>");
    QString result;
    qsizetype pos = 40000;
    tags::hub::GetDetail(text, pos, QStringLiteral("Speed"), result);
    EXPECT_EQ(result, QStringLiteral("10"));
    EXPECT_EQ(pos, 70010);
}

using UnEscapeFn = void (*)(QString&, bool&);

QString unescaped(UnEscapeFn fn, QString text, bool* changedOut = nullptr)
{
    bool changed = false;
    fn(text, changed);
    if (changedOut)
        *changedOut = changed;
    return text;
}

TEST(UnEscapeText, ApostrophesAndAmpersandsInEveryCopy)
{
    ScopedLocale locale("C"); // the repaired sequences as Windows-1252 reads them
    const UnEscapeFn all[] = {tags::hub::UnEscapeText, tags::routeList::UnEscapeText,
                              tags::assetWindow::UnEscapeText};
    for (UnEscapeFn fn : all) {
        bool changed = false;
        EXPECT_EQ(unescaped(fn, QStringLiteral("Tom&apos;s &amp;amp; Jerry&APOS;s"), &changed),
                  QStringLiteral("Tom's & Jerry's"));
        EXPECT_TRUE(changed);
        // Ampersands are searched from the start until none is left.
        EXPECT_EQ(unescaped(fn, QStringLiteral("&AMP;amp;amp;x&amp;&amp;y")), QStringLiteral("&x&&y"));
        // Apostrophes come first: one that an ampersand leaves behind stays.
        EXPECT_EQ(unescaped(fn, QStringLiteral("&amp;apos;")), QStringLiteral("&apos;"));
        EXPECT_EQ(unescaped(fn, QStringLiteral("Stra\u00EF\u00BF\u0178e")), QStringLiteral("Stra\u00DFe"));

        EXPECT_EQ(unescaped(fn, QStringLiteral("plain & simple"), &changed), QStringLiteral("plain & simple"));
        EXPECT_FALSE(changed);
        // It never clears the flag.
        QString text = QStringLiteral("plain");
        changed = true;
        fn(text, changed);
        EXPECT_TRUE(changed);
    }
}

TEST(UnEscapeText, RouteListAlsoRepairsUmlauts)
{
    ScopedLocale locale("C"); // the repaired sequences as Windows-1252 reads them
    const QString broken = QStringLiteral("M\u00EF\u00BF\u00BCnchen-G\u00EF\u00BF\u00A4u-Stra\u00EF\u00BF\u0178e");
    bool changed = false;
    EXPECT_EQ(unescaped(tags::routeList::UnEscapeText, broken, &changed),
              QStringLiteral("M\u00FCnchen-G\u00E4u-Stra\u00DFe"));
    EXPECT_TRUE(changed);

    EXPECT_EQ(unescaped(tags::hub::UnEscapeText, broken),
              QStringLiteral("M\u00EF\u00BF\u00BCnchen-G\u00EF\u00BF\u00A4u-Stra\u00DFe"));
    EXPECT_EQ(unescaped(tags::assetWindow::UnEscapeText, broken),
              QStringLiteral("M\u00EF\u00BF\u00BCnchen-G\u00EF\u00BF\u00A4u-Stra\u00DFe"));

    // Only the umlaut repairs to make: the hub's copy reports no change.
    EXPECT_EQ(unescaped(tags::hub::UnEscapeText, QStringLiteral("\u00EF\u00BF\u00BC"), &changed),
              QStringLiteral("\u00EF\u00BF\u00BC"));
    EXPECT_FALSE(changed);
    EXPECT_EQ(unescaped(tags::routeList::UnEscapeText, QStringLiteral("\u00EF\u00BF\u00BC"), &changed),
              QStringLiteral("\u00FC"));
    EXPECT_TRUE(changed);

    // The same bytes as a Polish code page reads them.
    ScopedLocale polish("pl_PL.UTF-8");
    EXPECT_EQ(unescaped(tags::routeList::UnEscapeText, QStringLiteral("M\u010F\u017C\u013Dnchen")), QStringLiteral("M\u00FCnchen"));
}

TEST(UnEscapeText, LongTexts)
{
    ScopedLocale locale("C"); // the repaired sequences as Windows-1252 reads them
    const QString padding(40000, QLatin1Char('x'));
    EXPECT_EQ(unescaped(tags::routeList::UnEscapeText,
                        padding + QStringLiteral("&apos;") + padding + QStringLiteral("\u00EF\u00BF\u00A4")),
              padding + QStringLiteral("'") + padding + QStringLiteral("\u00E4"));
}

} // namespace
