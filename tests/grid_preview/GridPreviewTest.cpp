// The texture preview's text logic: the caption made from the image record, the geometry and
// texture lookups and the texture path they give.

#include "assets/GridPreview.h"
#include "assets/LodChange.h"

#include <gtest/gtest.h>

namespace {

const QString kGame = QStringLiteral("C:\\Games\\Rail");

TEST(PreviewCaptionTest, WritesEachFigureWithABlankOrItsMinusSign)
{
    struct Row {
        const char* text;
        qint32 width, height, bits;
        const char* caption;
    };
    const Row rows[] = {
        {"DXT1", 512, 256, 32, "Assets Listing DXT1 ( 512x 256x 32)"},
        {"", 0, 0, 0, "Assets Listing  ( 0x 0x 0)"},
        {"ARGB", -1, 16, -32, "Assets Listing ARGB (-1x 16x-32)"},
        {"PNG", 2147483647, -2147483647 - 1, 8, "Assets Listing PNG ( 2147483647x-2147483648x 8)"},
    };
    for (const Row& r : rows) {
        textures::ImageRecord record;
        record.text = QString::fromLatin1(r.text);
        record.width = r.width;
        record.height = r.height;
        record.bits = r.bits;
        EXPECT_EQ(assets::PreviewCaption(record), QString::fromLatin1(r.caption)) << r.caption;
    }
}

TEST(PreviewLookupTest, CutsTheBracketsOfTheTextureIdAndFindsOnlyACompleteChain)
{
    struct Row {
        const char* xml;
        bool found;
        const char* id;
    };
    const Row rows[] = {
        {"<TextureByName>\r\n<e d:type=\"cDeltaString\">Textures\\[00]Skin</e>", true, "Textures\\Skin"},
        {"<texturebyname><E>[01]Body</E></texturebyname>", true, "Body"},
        {"<TextureByName><e>Plain\\Name</e>", true, "Plain\\Name"},
        // Only the first bracketed part goes, and a "]" before the "[" is not its end.
        {"<TextureByName><e>a]b[c]d[e]f</e>", true, "a]bd[e]f"},
        {"<TextureByName><e>Open[End</e>", true, "Open[End"},
        // The first entry after the first list, not an "<e" before it.
        {"<e>Before</e><TextureByName><e>[00]After</e><TextureByName><e>Later</e>", true, "After"},
        {"<Meshes><e>Mesh</e></Meshes>", false, ""},
        {"<TextureByName></TextureByName>", false, ""},
        {"<TextureByName><e>Unclosed", false, ""},
        {"", false, ""},
    };
    for (const Row& r : rows) {
        QString id = QStringLiteral("kept");
        EXPECT_EQ(assets::TextureIdOf(QString::fromLatin1(r.xml), id), r.found) << r.xml;
        EXPECT_EQ(id, r.found ? QString::fromLatin1(r.id) : QStringLiteral("kept")) << r.xml;
    }
}

TEST(PreviewLookupTest, BuildsTheTexturePathFromTheGeometryIdsFolderPrefix)
{
    struct Row {
        const char* blueprint;
        const char* textureId;
        const char* texture;
    };
    const Row rows[] = {
        {"<GeometryID d:type=\"cDeltaString\">Folder\\[00]Body</GeometryID>", "Textures\\Skin",
         "C:\\Games\\Rail\\Assets\\Folder\\Textures\\Skin.TgPcDx"},
        {"<geometryid>P\\Q\\Oak</geometryid>", "Textures\\Skin", "C:\\Games\\Rail\\Assets\\Textures\\Skin.TgPcDx"},
        {"<GeometryID>A\\B\\[01]C</GeometryID><GeometryID>D\\[02]E</GeometryID>", "T",
         "C:\\Games\\Rail\\Assets\\A\\B\\T.TgPcDx"},
    };
    for (const Row& r : rows) {
        const std::optional<assets::GeometryLookup> g = assets::GetGeometryPath(QString::fromLatin1(r.blueprint), kGame);
        ASSERT_TRUE(g.has_value()) << r.blueprint;
        EXPECT_EQ(assets::PreviewTexturePath(kGame, g->folderPrefix, QString::fromLatin1(r.textureId)),
                  QString::fromLatin1(r.texture))
            << r.blueprint;
    }
}

} // namespace
