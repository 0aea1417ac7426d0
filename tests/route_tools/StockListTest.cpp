// Reading a scenario's rolling stock out of its XML, and the reports of the list.

#include "routes/StockList.h"

#include "support/TempTree.h"

#include <gtest/gtest.h>

namespace {

QString vehicle(const QString& provider, const QString& product, const QString& id)
{
    return QStringLiteral("<cOwnedEntity>\r\n<BlueprintID>\r\n<iBlueprintLibrary-cAbsoluteBlueprintID>\r\n"
                          "<BlueprintSetID>\r\n<iBlueprintLibrary-cBlueprintSetID>\r\n"
                          "<Provider d:type=\"cDeltaString\">")
        + provider + QStringLiteral("</Provider>\r\n<Product d:type=\"cDeltaString\">") + product
        + QStringLiteral("</Product>\r\n</iBlueprintLibrary-cBlueprintSetID>\r\n</BlueprintSetID>\r\n"
                         "<BlueprintID d:type=\"cDeltaString\">")
        + id + QStringLiteral("</BlueprintID>\r\n</iBlueprintLibrary-cAbsoluteBlueprintID>\r\n</BlueprintID>\r\n"
                              "</cOwnedEntity>\r\n");
}

} // namespace

TEST(StockList, GoldenLists)
{
    const QString engine = QStringLiteral("RailVehicles\\Diesel\\Class90\\Engine\\VS_Class90.xml");
    const QString van = QStringLiteral("RailVehicles\\Freight\\BoxVan\\Wagon\\VS_BoxVan.xml");
    struct Row {
        const char* name;
        QString xml;
        QStringList references; // in the order they stand
        QStringList list;       // as the window lists them
    };
    const QList<Row> rows{
        {"dupes go, case variants stay, exact equals sorted together",
         vehicle("VeltraneSamples", "Sample01", van) + vehicle("VeltraneSamples", "Sample01", engine)
             + vehicle("veltranesamples", "Sample01", van) + vehicle("VeltraneSamples", "Sample01", van),
         {"VeltraneSamples\\Sample01\\" + van, "VeltraneSamples\\Sample01\\" + engine,
          "veltranesamples\\Sample01\\" + van, "VeltraneSamples\\Sample01\\" + van},
         {"VeltraneSamples\\Sample01\\" + engine, "VeltraneSamples\\Sample01\\" + van,
          "veltranesamples\\Sample01\\" + van}},
        {"an entry without its own provider and product gets empty texts, not its neighbour's",
         vehicle("VeltraneSamples", "Sample01", engine) + "<BlueprintID d:type=\"cDeltaString\">Loose\\Thing.xml</BlueprintID>\r\n",
         {"VeltraneSamples\\Sample01\\" + engine, "\\\\Loose\\Thing.xml"},
         {"\\\\Loose\\Thing.xml", "VeltraneSamples\\Sample01\\" + engine}},
        {"a reference in other letter case is not listed",
         "<Provider>A</Provider><Product>B</Product><blueprintid d:type=\"cDeltaString\">x.xml</blueprintid>\r\n"
             + vehicle("Kuju", "RailSimulator", van),
         {"Kuju\\RailSimulator\\" + van},
         {"Kuju\\RailSimulator\\" + van}},
        {"texts stand as written, blanks included",
         vehicle(" Spaced ", "P", "a b.xml"), {" Spaced \\P\\a b.xml"}, {" Spaced \\P\\a b.xml"}},
        {"a reference cut short ends the walk",
         vehicle("A", "B", "c.xml") + "<Provider>D</Provider><Product>E</Product><BlueprintID d:type=\"cDeltaString\">f.xml",
         {"A\\B\\c.xml"}, {"A\\B\\c.xml"}},
        {"no reference, no list", "<cRecordSet><Record/></cRecordSet>", {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(routes::StockReferences(row.xml), row.references);
        EXPECT_EQ(routes::StockList(row.xml), row.list);
    }
}

TEST(StockList, DuplicatesRemovedOnlyWhenAdjacentAndExact)
{
    QStringList entries{"", "A", "A", "a", "B", "A", "A"};
    routes::RemoveAdjacentDuplicates(entries);
    EXPECT_EQ(entries, (QStringList{"A", "a", "B", "A"})); // the first compares with the empty text
}

TEST(StockList, ReportsGiveBinPathsOfMissingAndOfAllEntries)
{
    TempTree tree;
    const QString game = tree.gamePath();
    tree.writeFile("game/Assets/P/Q/OnlySource.xml", "<x/>");
    tree.writeFile("game/Assets/P/Q/OnlyBinary.bin", "bin");
    const QStringList entries{"P\\Q\\Missing.xml", "P\\Q\\OnlyBinary.xml", "P\\Q\\OnlySource.xml", "R\\S\\Gone.xml"};

    EXPECT_EQ(routes::MissingStockReport(game, entries),
              game + "\\Assets\\P\\Q\\Missing.bin is missing\r\n" + game + "\\Assets\\R\\S\\Gone.bin is missing\r\n");
    EXPECT_EQ(routes::MissingStockReport(game, {"P\\Q\\OnlySource.xml"}), "No Missing Rolling-Stock");
    EXPECT_EQ(routes::MissingStockReport(game, {}), "No Missing Rolling-Stock");

    // Entries that climb out of the Assets folder are named, and the files they lead to (which
    // exist) are not taken for present stock.
    tree.writeFile("outside/victim.bin", "bin");
    tree.writeFile("game/Content/victim.xml", "<x/>");
    EXPECT_EQ(routes::MissingStockReport(game, {"..\\..\\outside\\victim.xml", "P\\..\\..\\Content\\victim.xml",
                                                "P\\Q\\..\\Q\\OnlyBinary.xml"}),
              game + "\\Assets\\..\\..\\outside\\victim.bin lies outside the Assets folder and was not followed\r\n"
                  + game + "\\Assets\\P\\..\\..\\Content\\victim.bin lies outside the Assets folder and was not followed\r\n");

    EXPECT_EQ(routes::PrintStockReport(game, entries),
              game + "\\Assets\\P\\Q\\Missing.bin\r\n" + game + "\\Assets\\P\\Q\\OnlyBinary.bin\r\n" + game
                  + "\\Assets\\P\\Q\\OnlySource.bin\r\n" + game + "\\Assets\\R\\S\\Gone.bin\r\n");
    EXPECT_EQ(routes::PrintStockReport(game, {}), QString());
}
