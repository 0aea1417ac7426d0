// The helpers every packager shares: package names, paths below a root, batch-safe paths, the
// copy that replaces its target, and the finding and cutting of a properties block.

#include "packaging/PackageCommon.h"
#include "support/ScopedLocale.h"
#include "support/TempTree.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

using namespace packaging;

namespace {

struct NameCase {
    const char* wanted;
    const char* expected;
};

TEST(PackageName, SanitisesAndKeepsOutOfOwnFolders)
{
    const NameCase cases[] = {
        {"Valley Line", "Valley Line"},
        {"A\\B/C:D*E?F\"G<H>I|J", "A_B_C_D_E_F_G_H_I_J"},
        {"..\\..\\System32", ".._.._System32"},
        {"", "fallback"},
        {".", "fallback"},
        {"...", "fallback"},
        {"Line.", "Line."},
        {"TempFiles", "TempFiles_"},
        {"tempfiles", "tempfiles_"},
        {"TEMPDDS", "TEMPDDS_"},
        {"Templates", "Templates_"},
        {"BluePrints", "BluePrints_"},
        {"System32", "System32_"},
        {"backup", "backup_"},
        {"Reports", "Reports_"},
        {"TempFiles2", "TempFiles2"},
        {"Tab\there", "Tab_here"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(PackageName(QString::fromUtf8(c.wanted), QStringLiteral("fallback")), QString::fromUtf8(c.expected))
            << c.wanted;
}

struct BelowCase {
    const char* root;
    const char* path;
    const char* expected; // nullptr: not below
};

TEST(PathBelow, ResolvesStepsAndComparesIgnoringCase)
{
    const BelowCase cases[] = {
        {"C:\\Game\\Assets", "C:\\Game\\Assets\\P\\Q\\a.bin", "P\\Q\\a.bin"},
        {"C:\\Game\\Assets", "c:\\GAME\\assets\\P\\Q\\a.bin", "P\\Q\\a.bin"},
        {"C:\\Game\\Assets\\", "C:\\Game\\Assets\\P\\a.bin", "P\\a.bin"},
        {"/tmp/game/Assets", "/tmp/game/Assets\\P\\Q\\a.bin", "P\\Q\\a.bin"},
        {"C:\\Game\\Assets", "C:\\Game\\Assets\\P\\..\\Q\\a.bin", "Q\\a.bin"},
        {"C:\\Game\\Assets", "C:\\Game\\Assets\\P\\.\\a.bin", "P\\a.bin"},
        {"C:\\Game\\Assets", "C:\\Game\\Assets\\..\\Content\\Routes.xml", nullptr},
        {"C:\\Game\\Assets", "C:\\Game\\Assets\\P\\..\\..\\..\\Windows\\x.dll", nullptr},
        {"C:\\Game\\Assets", "C:\\Game\\Assets", nullptr},
        {"C:\\Game\\Assets", "C:\\Game\\AssetsX\\a.bin", nullptr},
        {"C:\\Game\\Assets", "C:\\Other\\Assets\\a.bin", nullptr},
        {"/tmp/game/Assets", "tmp\\game\\Assets\\a.bin", nullptr},
        {"C:\\Game\\Assets", "..\\..\\..\\a.bin", nullptr},
        {"C:\\Game\\..\\Game\\Assets", "C:\\Game\\Assets\\a.bin", "a.bin"},
    };
    for (const BelowCase& c : cases) {
        const QString got = PathBelow(QString::fromUtf8(c.root), QString::fromUtf8(c.path));
        if (c.expected) {
            EXPECT_EQ(got, QString::fromUtf8(c.expected)) << c.path;
        } else {
            EXPECT_TRUE(got.isNull()) << c.path << " gave " << got.toStdString();
        }
    }
}

TEST(BatchSafePath, RefusesQuotesLineBreaksAndUnwritableCharacters)
{
    const struct {
        const char* locale;
        QString path;
        bool safe;
    } cases[] = {
        {"C", QStringLiteral("C:\\Game\\Assets\\P\\Q\\a b.bin"), true},
        {"C", QString::fromUtf8("C:\\Game\\Assets\\Gr\u00fcn\\\u00e9t\u00e9.bin"), true},
        {"C", QString::fromUtf8("C:\\Game\\Assets\\\u20ac.bin"), true}, // the euro sign is in Windows-1252
        {"C", QStringLiteral("C:\\Game\\Assets\\a\"b.bin"), false},
        {"C", QStringLiteral("C:\\Game\\Assets\\a\r\nb.bin"), false},
        {"C", QString::fromUtf8("C:\\Game\\Assets\\\u0141\u00f3d\u017a.bin"), false},
        {"C", QString::fromUtf8("C:\\Game\\Assets\\\u6771\u4eac.bin"), false},
        // The code page is the user's: Polish names fit a Polish one, Greek ones do not.
        {"pl_PL.UTF-8", QString::fromUtf8("C:\\Game\\Assets\\\u0141\u00f3d\u017a.bin"), true},
        {"pl_PL.UTF-8", QString::fromUtf8("C:\\Game\\Assets\\\u0395\u03bb\u03ad\u03bd\u03b7.bin"), false},
        {"ja_JP.UTF-8", QString::fromUtf8("C:\\Game\\Assets\\\u6771\u4eac.bin"), true},
    };
    for (const auto& c : cases) {
        ScopedLocale locale(c.locale);
        EXPECT_EQ(BatchSafePath(c.path), c.safe) << c.locale << " " << c.path.toStdString();
    }
}

TEST(CopyReplacing, ReplacesTargetAndFailsWithoutSource)
{
    TempTree tree;
    const QString from = tree.writeFile(QStringLiteral("src/a.bin"), "new bytes");
    const QString to = tree.writeFile(QStringLiteral("dst/a.bin"), "old and longer bytes");
    QString error;
    ASSERT_TRUE(CopyReplacing(from, to, &error)) << error.toStdString();
    EXPECT_EQ(tree.readFile(QStringLiteral("dst/a.bin")), QByteArray("new bytes"));

    EXPECT_FALSE(CopyReplacing(tree.path(QStringLiteral("src/none.bin")), to, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(tree.readFile(QStringLiteral("dst/a.bin")), QByteArray("new bytes"));
    EXPECT_FALSE(CopyReplacing(from, tree.path(QStringLiteral("missing/folder/a.bin")), &error));

    // A linked file at the target is the user's: it is written into and stays a link. A link
    // that leads nowhere is not written through.
    tree.writeFile(QStringLiteral("outside/b.bin"), "outside");
    const QString linked = tree.path(QStringLiteral("dst/b.bin"));
    ASSERT_TRUE(QFile::link(tree.path(QStringLiteral("outside/b.bin")), linked));
    ASSERT_TRUE(CopyReplacing(from, linked, &error)) << error.toStdString();
    EXPECT_EQ(tree.readFile(QStringLiteral("outside/b.bin")), QByteArray("new bytes"));
    EXPECT_TRUE(QFileInfo(linked).isSymLink());
    const QString dangling = tree.path(QStringLiteral("dst/c.bin"));
    ASSERT_TRUE(QFile::link(tree.path(QStringLiteral("outside/c.bin")), dangling));
    EXPECT_FALSE(CopyReplacing(from, dangling, &error));
    EXPECT_EQ(error, QStringLiteral("Path not found"));
    EXPECT_FALSE(tree.exists(QStringLiteral("outside/c.bin")));
}

// Three routes; the second's folder name also stands in the first one's description, and the
// file mixes the tag's letter case as hand-edited lists do.
QString block(const QString& folder, const QString& description)
{
    return QStringLiteral("\t\t<cRouteProperties d:id=\"1\">\r\n\t\t\t<ID><cGUID><DevString d:type=\"cDeltaString\">")
           + folder + QStringLiteral("</DevString></cGUID></ID>\r\n\t\t\t<Description>") + description
           + QStringLiteral("</Description>\r\n\t\t</cRouteProperties>\r\n");
}

TEST(PropertiesBlock, FindsByDevStringAndCutsFirstMiddleLast)
{
    const QString head = QStringLiteral("<?xml?>\r\n<cRecordSet>\r\n\t<Record>\r\n");
    const QString tail = QStringLiteral("\t</Record>\r\n</cRecordSet>\r\n");
    const QString b1 = block(QStringLiteral("R1"), QStringLiteral("Copied from r2, not R2 itself"));
    const QString b2 = block(QStringLiteral("R2"), QStringLiteral("Second"));
    const QString b3 = block(QStringLiteral("R3"), QStringLiteral("Third"));
    const QString text = head + b1 + b2 + b3 + tail;

    // Each cut keeps the text before the block's "<" (its indent) and, before the next block,
    // the one character just before that block's "<"; the last block's cut keeps what follows
    // its end tag.
    const QString indent = QStringLiteral("\t\t");
    const struct {
        const char* folder;
        QString expected;
    } cases[] = {
        {"R1", head + indent + b2.mid(1) + b3 + tail},
        {"r2", head + b1 + indent + b3.mid(1) + tail},
        {"R3", head + b1 + b2 + indent + QStringLiteral("\r\n") + tail},
    };
    for (const auto& c : cases) {
        const QString folder = QString::fromUtf8(c.folder);
        const PropertiesBlock found = FindPropertiesBlock(text, QStringLiteral("cRouteProperties"), folder);
        ASSERT_TRUE(found.found()) << c.folder;
        const QString whole = text.mid(found.start, found.end - found.start);
        EXPECT_TRUE(whole.startsWith(QStringLiteral("<cRouteProperties"))) << c.folder;
        EXPECT_TRUE(whole.endsWith(QStringLiteral("</cRouteProperties>"))) << c.folder;
        EXPECT_TRUE(whole.contains(QStringLiteral(">") + folder.toUpper() + QStringLiteral("<"))) << c.folder;
        EXPECT_EQ(CutPropertiesBlock(text, found), c.expected) << c.folder;
    }
}

TEST(PropertiesBlock, MissingUnclosedAndOtherTagsAreNotFound)
{
    const QString b1 = block(QStringLiteral("R1"), QStringLiteral("x"));
    const QString text = QStringLiteral("<r>") + b1 + QStringLiteral("</r>");
    const struct {
        QString text;
        const char* tag;
        const char* folder;
        qsizetype from;
    } cases[] = {
        {text, "cRouteProperties", "R", 0},             // a prefix of a folder is not that folder
        {text, "cRouteProperties", "R10", 0},
        {text, "cScenarioProperties", "R1", 0},         // no element of that name holds it
        {text, "cRouteProperties", "R1", 10},           // the element starts before from
        {QString(text).remove(QStringLiteral("</cRouteProperties>")), "cRouteProperties", "R1", 0},
        {QString(text).replace(QStringLiteral(">R1<"), QStringLiteral("><")), "cRouteProperties", "", 0},
    };
    for (const auto& c : cases) {
        const PropertiesBlock found = FindPropertiesBlock(c.text, QString::fromUtf8(c.tag), QString::fromUtf8(c.folder), c.from);
        EXPECT_FALSE(found.found()) << c.tag << " " << c.folder;
        EXPECT_EQ(CutPropertiesBlock(c.text, found), c.text);
    }

    // A block directly followed by the next one keeps none of its own characters.
    const QString tight = QStringLiteral("<cScenarioProperties><DevString>S1</DevString></cScenarioProperties>"
                                         "<cScenarioProperties><DevString>S2</DevString></cScenarioProperties>");
    const PropertiesBlock first = FindPropertiesBlock(tight, QStringLiteral("cScenarioProperties"), QStringLiteral("S1"));
    ASSERT_TRUE(first.found());
    EXPECT_EQ(CutPropertiesBlock(tight, first),
              QStringLiteral("<cScenarioProperties><DevString>S2</DevString></cScenarioProperties>"));
}

} // namespace
