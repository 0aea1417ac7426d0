// Matching in the text page's text: case, whole words, the end limit and the matches that a
// replacement of all takes.

#include "hub/TextSearch.h"

#include <gtest/gtest.h>

using hub::findInText;
using hub::matchesToReplace;

TEST(TextSearch, FindInText)
{
    struct Row {
        const char* text;
        const char* what;
        qsizetype start, end;
        int options;
        qsizetype expected;
    };
    const int W = hub::TextFindWholeWord, C = hub::TextFindMatchCase;
    const Row rows[] = {
        {"Track track", "track", 0, -1, C, 6},
        {"Track track", "Track", 1, -1, C, -1},
        // Whole words: letters and digits join a word; blanks, punctuation and line ends part it.
        {"track2 xtrack (track)", "track", 0, -1, W, 15},
        {"tracks\ntrack", "track", 0, -1, W, 7},
        {"\xc3\xa9track track", "track", 0, -1, W, 7},
        // A line break matches one between lines.
        {"<a>\n  <b/>\n</a>", "<b/>\n</A>", 0, -1, 0, 6},
        // The match must end by end.
        {"x track", "track", 0, 7, 0, 2},
        {"x track", "track", 0, 6, 0, -1},
        // Nothing to look for, or a start outside the text.
        {"abc", "", 0, -1, 0, -1},
        {"abc", "c", 4, -1, 0, -1},
        {"abc", "c", -1, -1, 0, -1},
    };
    for (const Row& r : rows) {
        const QString text = QString::fromUtf8(r.text);
        EXPECT_EQ(findInText(text, QString::fromUtf8(r.what), r.start, r.end, r.options), r.expected)
            << r.text << " / " << r.what << " from " << r.start;
    }
}

TEST(TextSearch, MatchesToReplaceNeverOverlap)
{
    EXPECT_EQ(matchesToReplace(u"aaaaa", u"aa"), (QList<qsizetype>{0, 2}));
    EXPECT_EQ(matchesToReplace(u"Ab ab AB", u"aB"), (QList<qsizetype>{0, 3, 6}));
    EXPECT_EQ(matchesToReplace(u"a\nb\na\nb", u"A\nB"), (QList<qsizetype>{0, 4}));
    EXPECT_TRUE(matchesToReplace(u"abc", u"").isEmpty());
    EXPECT_TRUE(matchesToReplace(u"abc", u"d").isEmpty());
}

TEST(TextSearch, SearchLinesMakeEveryLineEndOneBreak)
{
    EXPECT_EQ(hub::searchLines(QStringLiteral("a\r\nb\rc\nd")), "a\nb\nc\nd");
    EXPECT_EQ(hub::searchLines(QStringLiteral("\r\r\n")), "\n\n");
}
