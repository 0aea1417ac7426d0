#include "common/AssetPath.h"

#include <gtest/gtest.h>

TEST(AssetPath, SplitsProviderProductAndRest)
{
    struct Row {
        const char* path;
        bool ok;
        const char* provider;
        const char* product;
        const char* rest;
    };
    const Row rows[] = {
        {R"(C:\Games\RS\Assets\P\Q\Track\a.bin)", true, "P", "Q", R"(Track\a.xml)"},
        {R"(C:\Games\RS\Assets\P\Q\Track\a.BIN)", true, "P", "Q", R"(Track\a.BIN)"},
        {"/home/me/game/Assets/Kuju/RailSimulator/Track/x.bin", true, "Kuju", "RailSimulator", R"(Track\x.xml)"},
        {R"(D:\Assets\P\Q\a.bin)", true, "P", "Q", "a.xml"},
        // Only the exact "Assets" counts; the first one wins.
        {R"(C:\assets\P\Q\a.bin)", false, "", "", ""},
        {R"(C:\Assets\Assets\Q\R\a.bin)", true, "Assets", "Q", R"(R\a.xml)"},
        {R"(C:\MyAssets\P\Q\a.bin)", false, "", "", ""},
        // Not enough below Assets.
        {R"(C:\Assets\P\Q)", false, "", "", ""},
        {R"(C:\Assets\P\a.bin)", false, "", "", ""},
        {"", false, "", "", ""},
        {R"(C:\Assets\P\Q\Track\cabin)", true, "P", "Q", R"(Track\caxml)"},
    };
    for (const Row& row : rows) {
        QString provider = "old", product = "old", rest = "old";
        EXPECT_EQ(SplitAssetPath(QString::fromUtf8(row.path), provider, product, rest), row.ok) << row.path;
        EXPECT_EQ(provider, QString::fromUtf8(row.provider)) << row.path;
        EXPECT_EQ(product, QString::fromUtf8(row.product)) << row.path;
        EXPECT_EQ(rest, QString::fromUtf8(row.rest)) << row.path;
    }
}
