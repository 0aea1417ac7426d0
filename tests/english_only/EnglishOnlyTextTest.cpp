// The English-only cut on golden texts: what goes, what stays byte for byte, and the texts it
// must leave alone.

#include "assets/EnglishOnly.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

struct CutCase {
    const char* what;
    const char* in;
    const char* out; // nullptr: the text comes back unchanged
    int entries;     // "</English>" tags handled (afterCut calls); one with no closing tag
                     // after it ends the cut and is not counted
};

const CutCase kCases[] = {
    {"CR LF: the entries after English go, the closing line follows",
     "<Name>\r\n\t<Localisation-cUserLocalisedString>\r\n\t\t<English d:type=\"cDeltaString\">Oak</English>\r\n"
     "\t\t<French d:type=\"cDeltaString\">Ch\xc3\xaane</French>\r\n\t\t<German d:type=\"cDeltaString\">Eiche</German>\r\n"
     "\t\t<Other/>\r\n\t\t<Key d:type=\"cDeltaString\">1a2b</Key>\r\n\t</Localisation-cUserLocalisedString>\r\n</Name>\r\n",
     "<Name>\r\n\t<Localisation-cUserLocalisedString>\r\n\t\t<English d:type=\"cDeltaString\">Oak</English>\r\n"
     "\t</Localisation-cUserLocalisedString>\r\n</Name>\r\n",
     1},
    {"CR LF already English only",
     "<Name>\r\n\t<Localisation-cUserLocalisedString>\r\n\t\t<English d:type=\"cDeltaString\">Oak</English>\r\n"
     "\t</Localisation-cUserLocalisedString>\r\n</Name>\r\n",
     nullptr, 1},
    {"LF only: one empty line stays before the closing line",
     "<Name>\n\t<Localisation-cUserLocalisedString>\n\t\t<English>Oak</English>\n\t\t<French>Ch\xc3\xaane</French>\n"
     "\t\t<Italian>Quercia</Italian>\n\t</Localisation-cUserLocalisedString>\n</Name>\n",
     "<Name>\n\t<Localisation-cUserLocalisedString>\n\t\t<English>Oak</English>\n\n"
     "\t</Localisation-cUserLocalisedString>\n</Name>\n",
     1},
    {"LF only, already English only: no line is doubled",
     "<Name>\n\t<Localisation-cUserLocalisedString>\n\t\t<English>Oak</English>\n\t</Localisation-cUserLocalisedString>\n"
     "</Name>\n",
     nullptr, 1},
    {"two localised texts, each cut; a multi-line English text stays whole",
     "<cBlueprint>\r\n<Name>\r\n<Localisation-cUserLocalisedString>\r\n<English>Oak</English>\r\n<French>Ch\xc3\xaane</French>\r\n"
     "</Localisation-cUserLocalisedString>\r\n</Name>\r\n<Description>\r\n<Localisation-cUserLocalisedString>\r\n"
     "<English>A tall\r\nold tree</English>\r\n<German>Ein alter\r\nBaum</German>\r\n<Spanish>Roble</Spanish>\r\n"
     "</Localisation-cUserLocalisedString>\r\n</Description>\r\n<Category>eTrees</Category>\r\n</cBlueprint>\r\n",
     "<cBlueprint>\r\n<Name>\r\n<Localisation-cUserLocalisedString>\r\n<English>Oak</English>\r\n"
     "</Localisation-cUserLocalisedString>\r\n</Name>\r\n<Description>\r\n<Localisation-cUserLocalisedString>\r\n"
     "<English>A tall\r\nold tree</English>\r\n"
     "</Localisation-cUserLocalisedString>\r\n</Description>\r\n<Category>eTrees</Category>\r\n</cBlueprint>\r\n",
     2},
    {"no </English>: unchanged",
     "<Name>\r\n<Localisation-cUserLocalisedString>\r\n<French>Ch\xc3\xaane</French>\r\n<German>Eiche</German>\r\n"
     "</Localisation-cUserLocalisedString>\r\n</Name>\r\n",
     nullptr, 0},
    {"tags in any case",
     "<NAME>\r\n<LOCALISATION-X>\r\n<ENGLISH>Oak</ENGLISH>\r\n<FRENCH>Ch\xc3\xaane</FRENCH>\r\n</localisation-x>\r\n</NAME>\r\n",
     "<NAME>\r\n<LOCALISATION-X>\r\n<ENGLISH>Oak</ENGLISH>\r\n</localisation-x>\r\n</NAME>\r\n", 1},
    {"closing tag on the English line: that entry stays, a later one is cut",
     "<Name><Localisation-x><English>Oak</English></Localisation-x></Name>\r\n"
     "<Description>\r\n<Localisation-x>\r\n<English>Tree</English>\r\n<French>Arbre</French>\r\n</Localisation-x>\r\n"
     "</Description>\r\n",
     "<Name><Localisation-x><English>Oak</English></Localisation-x></Name>\r\n"
     "<Description>\r\n<Localisation-x>\r\n<English>Tree</English>\r\n</Localisation-x>\r\n</Description>\r\n",
     2},
    {"closing tag on the English line with other languages: unchanged",
     "<Localisation-x><English>Oak</English><French>Ch\xc3\xaane</French></Localisation-x>\r\n",
     nullptr, 1},
    {"another element after </English> on its line, closing on a later line: unchanged",
     "<Localisation-x>\r\n<English>Oak</English><French>Ch\xc3\xaane</French>\r\n<German>Eiche</German>\r\n"
     "</Localisation-x>\r\n",
     nullptr, 1},
    {"no closing tag after an entry: earlier entries cut, the rest unchanged",
     "<Name>\r\n<Localisation-x>\r\n<English>Oak</English>\r\n<French>Ch\xc3\xaane</French>\r\n</Localisation-x>\r\n"
     "</Name>\r\n<Description>\r\n<English>Tree</English>\r\n<French>Arbre</French>\r\n</Description>\r\n",
     "<Name>\r\n<Localisation-x>\r\n<English>Oak</English>\r\n</Localisation-x>\r\n"
     "</Name>\r\n<Description>\r\n<English>Tree</English>\r\n<French>Arbre</French>\r\n</Description>\r\n",
     1},
    {"</English> at the very end", "<Localisation-x>\r\n<English>Oak</English>", nullptr, 0},
    {"empty text", "", nullptr, 0},
};

TEST(EnglishOnlyText, CutsEveryLocalisedTextToItsEnglishEntry)
{
    for (const CutCase& c : kCases) {
        SCOPED_TRACE(c.what);
        const QString in = QString::fromUtf8(c.in);
        const QString expected = c.out ? QString::fromUtf8(c.out) : in;
        int calls = 0;
        const QString out = assets::EnglishOnlyText(in, [&calls] { ++calls; });
        EXPECT_EQ(out.toStdString(), expected.toStdString());
        EXPECT_EQ(calls, c.entries);
        // A second pass finds nothing more to take.
        EXPECT_EQ(assets::EnglishOnlyText(out).toStdString(), expected.toStdString());
    }
}

} // namespace
