#pragma once
// A small game of rolling stock for the stock search's tests: blueprints in the test
// serializer's binary form, written below a game folder that the test chooses, so that a
// game installed below folders named like the kinds ("steamapps") can be tried too.

#include "common/SharedState.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/SerzForm.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

namespace stocktest {

inline const QByteArray kFailMark("<!--serz:fail-->");

inline QByteArray engineXml(const QString& name, const QString& engineType)
{
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader><Blueprint><cEngineBlueprint>\r\n"
                           "<Name d:type=\"cDeltaString\">%1</Name>\r\n<EngineType d:type=\"cDeltaString\">%2</EngineType>\r\n"
                           "<EngineComponent><cEngineComponentBlueprint></cEngineComponentBlueprint></EngineComponent>\r\n"
                           "</cEngineBlueprint></Blueprint></cBlueprintLoader>\r\n")
                .arg(name, engineType))
        .toUtf8();
}

inline QByteArray vehicleXml(const QString& element, const QString& name)
{
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader><Blueprint><%1>\r\n"
                           "<Name d:type=\"cDeltaString\">%2</Name>\r\n</%1></Blueprint></cBlueprintLoader>\r\n")
                .arg(element, name))
        .toUtf8();
}

inline QByteArray wagonXml(const QString& name)
{
    return vehicleXml(QStringLiteral("cWagonBlueprint"), name);
}

inline QByteArray tenderXml(const QString& name)
{
    return vehicleXml(QStringLiteral("cTenderBlueprint"), name);
}

// The game folder in the tree, the serializer installed, fresh shared state.
class StockGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShared();
        ASSERT_TRUE(installSerz(tree.systemPath()));
        useGame(QStringLiteral("game"));
    }
    void TearDown() override
    {
        ui.verifyDone();
        resetShared();
    }

    // Makes tree/relative the game folder.
    void useGame(const QString& relative)
    {
        gameRel = relative;
        tree.makeDir(relative + QStringLiteral("/Assets"));
        shared().GamePath = tree.path(relative);
    }

    // Writes a blueprint (binary form) at a path below the game's Assets folder ("/" or "\").
    void writeBlueprint(QString belowAssets, const QByteArray& xml) const
    {
        belowAssets.replace(QLatin1Char('\\'), QLatin1Char('/'));
        tree.writeFile(gameRel + QStringLiteral("/Assets/") + belowAssets, serzBinary(xml));
    }

    // A game-style folder path below Assets.
    QString assetsFolder(const QString& below = QString()) const
    {
        return shared().GamePath + QStringLiteral("\\Assets") + (below.isEmpty() ? QString() : QStringLiteral("\\") + below);
    }

    TempTree tree;
    ScriptedUi ui;
    QString gameRel;
};

} // namespace stocktest
