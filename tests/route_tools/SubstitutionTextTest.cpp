// The replacement of blueprint references in one tile's XML text.

#include "routes/Substitution.h"

#include <gtest/gtest.h>

namespace {

// One reference as the game writes it: the outer element, the provider and product of the
// blueprint set, then the blueprint ID.
QString ref(const QString& provider, const QString& product, const QString& path)
{
    return QStringLiteral("<BlueprintID>\r\n<iBlueprintLibrary-cAbsoluteBlueprintID>\r\n<BlueprintSetID>\r\n"
                          "<iBlueprintLibrary-cBlueprintSetID>\r\n<Provider d:type=\"cDeltaString\">")
        + provider + QStringLiteral("</Provider>\r\n<Product d:type=\"cDeltaString\">") + product
        + QStringLiteral("</Product>\r\n</iBlueprintLibrary-cBlueprintSetID>\r\n</BlueprintSetID>\r\n"
                         "<BlueprintID d:type=\"cDeltaString\">")
        + path + QStringLiteral("</BlueprintID>\r\n</iBlueprintLibrary-cAbsoluteBlueprintID>\r\n</BlueprintID>\r\n");
}

// A reference whose blueprint set names no provider and no product of its own.
QString bareRef(const QString& path)
{
    return QStringLiteral("<BlueprintID>\r\n<iBlueprintLibrary-cAbsoluteBlueprintID>\r\n"
                          "<BlueprintID d:type=\"cDeltaString\">")
        + path + QStringLiteral("</BlueprintID>\r\n</iBlueprintLibrary-cAbsoluteBlueprintID>\r\n</BlueprintID>\r\n");
}

const QString kVs = QStringLiteral("VeltraneSamples");
const QString kS1 = QStringLiteral("Sample01");
const QString kBirch = QStringLiteral("Scenery\\Trees\\VS_Birch01.xml");
const QString kOak = QStringLiteral("Scenery\\Trees\\VS_Oak01.xml");
const QString kHead = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet>\r\n<Record>\r\n");
const QString kTail = QStringLiteral("</Record>\r\n</cRecordSet>\r\n");

routes::SubstituteRequest birchToOak(const QString& newProvider = QStringLiteral("OtherCo"),
                                     const QString& newProduct = QStringLiteral("Pack02"))
{
    return routes::SubstituteRequest{kVs, kS1, kBirch, newProvider, newProduct, kOak};
}

struct Row {
    const char* name;
    QString input;
    routes::SubstituteRequest request;
    QString expected; // the input when nothing changes
};

} // namespace

TEST(ReplaceBlueprintReferences, GoldenTexts)
{
    const QString other = ref(kVs, kS1, QStringLiteral("Scenery\\Buildings\\VS_Station01.xml"));
    const QList<Row> rows{
        {"two references, each replaced with its own provider and product",
         kHead + ref(kVs, kS1, kBirch) + other + ref(QStringLiteral("veltranesamples"), QStringLiteral("SAMPLE01"),
                                                        QStringLiteral("scenery\\trees\\vs_birch01.XML")) + kTail,
         birchToOak(),
         kHead + ref(QStringLiteral("OtherCo"), QStringLiteral("Pack02"), kOak) + other
             + ref(QStringLiteral("OtherCo"), QStringLiteral("Pack02"), kOak) + kTail},
        {"a provider equal in other case stays as written; product and path change",
         kHead + ref(kVs, kS1, kBirch) + kTail, birchToOak(QStringLiteral("VELTRANESAMPLES")),
         kHead + ref(kVs, QStringLiteral("Pack02"), kOak) + kTail},
        {"the old path inside a longer path stays",
         kHead + ref(kVs, kS1, QStringLiteral("Old\\") + kBirch) + ref(kVs, kS1, kBirch + QStringLiteral(".bak")) + kTail,
         birchToOak(),
         kHead + ref(kVs, kS1, QStringLiteral("Old\\") + kBirch) + ref(kVs, kS1, kBirch + QStringLiteral(".bak")) + kTail},
        {"the old path in an attribute stays",
         kHead + QStringLiteral("<cStaticEntity note=\"") + kBirch + QStringLiteral("\">\r\n") + other
             + QStringLiteral("</cStaticEntity>\r\n") + kTail,
         birchToOak(),
         kHead + QStringLiteral("<cStaticEntity note=\"") + kBirch + QStringLiteral("\">\r\n") + other
             + QStringLiteral("</cStaticEntity>\r\n") + kTail},
        {"another provider's reference to the same path stays",
         kHead + ref(QStringLiteral("SomeoneElse"), kS1, kBirch) + ref(kVs, QStringLiteral("Sample02"), kBirch)
             + ref(kVs, kS1, kBirch) + kTail,
         birchToOak(),
         kHead + ref(QStringLiteral("SomeoneElse"), kS1, kBirch) + ref(kVs, QStringLiteral("Sample02"), kBirch)
             + ref(QStringLiteral("OtherCo"), QStringLiteral("Pack02"), kOak) + kTail},
        {"a reference without its own provider does not borrow its neighbour's",
         kHead + ref(kVs, kS1, kOak) + bareRef(kBirch) + kTail, birchToOak(),
         kHead + ref(kVs, kS1, kOak) + bareRef(kBirch) + kTail},
        {"empty new values empty all three texts",
         kHead + ref(kVs, kS1, kBirch) + other + kTail, routes::SubstituteRequest{kVs, kS1, kBirch, {}, {}, {}},
         kHead + ref(QString(), QString(), QString()) + other + kTail},
        {"an escaped ampersand matches; the new path is written escaped",
         kHead + ref(kVs, kS1, QStringLiteral("Scenery\\A&amp;B.xml")) + kTail,
         routes::SubstituteRequest{kVs, kS1, QStringLiteral("Scenery\\A&B.xml"), kVs, kS1, QStringLiteral("Scenery\\C&D.xml")},
         kHead + ref(kVs, kS1, QStringLiteral("Scenery\\C&amp;D.xml")) + kTail},
        {"tag names in other case; a longer tag name is no provider",
         kHead + QStringLiteral("<providerX>x</providerX><PROVIDER>VeltraneSamples</PROVIDER><product>Sample01</product>"
                                "<blueprintid d:type=\"cDeltaString\">") + kBirch + QStringLiteral("</blueprintid>\r\n") + kTail,
         birchToOak(),
         kHead + QStringLiteral("<providerX>x</providerX><PROVIDER>OtherCo</PROVIDER><product>Pack02</product>"
                                "<blueprintid d:type=\"cDeltaString\">") + kOak + QStringLiteral("</blueprintid>\r\n") + kTail},
        {"a reference cut short ends the search",
         kHead + ref(kVs, kS1, kBirch) + QStringLiteral("<Provider>VeltraneSamples</Provider><Product>Sample01</Product>"
                                                        "<BlueprintID d:type=\"cDeltaString\">") + kBirch,
         birchToOak(),
         kHead + ref(QStringLiteral("OtherCo"), QStringLiteral("Pack02"), kOak)
             + QStringLiteral("<Provider>VeltraneSamples</Provider><Product>Sample01</Product>"
                              "<BlueprintID d:type=\"cDeltaString\">") + kBirch},
        {"the same path written the same way changes nothing",
         kHead + ref(kVs, kS1, kOak) + kTail, routes::SubstituteRequest{kVs, kS1, kOak, kVs, kS1, kOak},
         kHead + ref(kVs, kS1, kOak) + kTail},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QString text = row.input;
        const bool changed = routes::ReplaceBlueprintReferences(text, row.request);
        EXPECT_EQ(text.toStdString(), row.expected.toStdString());
        EXPECT_EQ(changed, row.expected != row.input);
    }
}

TEST(ReplaceBlueprintReferences, FolderOfEachItemKind)
{
    EXPECT_EQ(routes::SubstituteFolderFor(0), QStringLiteral("\\Scenery"));
    EXPECT_EQ(routes::SubstituteFolderFor(1), QStringLiteral("\\Networks\\Loft Tiles"));
    EXPECT_EQ(routes::SubstituteFolderFor(2), QStringLiteral("\\Networks\\Road Tiles"));
    EXPECT_EQ(routes::SubstituteFolderFor(3), QString());
}
