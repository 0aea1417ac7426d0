#pragma once
// A temporary program and game folder with the test serializer installed, and blueprints
// written in the serializer's binary form, for the asset list and edit pipeline tests.

#include "common/SharedState.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/SerzForm.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

class AssetGameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetShared();
        ASSERT_TRUE(installSerz(tree.systemPath()));
        tree.makeDir(QStringLiteral("program/TempFiles"));
        tree.makeDir(QStringLiteral("game/Assets"));
        shared().GamePath = tree.gamePath();
    }

    void TearDown() override
    {
        ui.verifyDone();
        resetShared();
    }

    static QByteArray xmlOf(const QByteArray& binary) { return serzXml(binary); }

    // A blueprint: the element body inside a <cBlueprintLoader>.
    static QByteArray blueprint(const QByteArray& body)
    {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprintLoader>\r\n\t<Blueprint>\r\n" + body
               + "\t</Blueprint>\r\n</cBlueprintLoader>\r\n";
    }
    static QByteArray scenery(const QByteArray& name, const QByteArray& valid)
    {
        QByteArray body = "\t\t<cSceneryBlueprint>\r\n\t\t\t<Name>\r\n\t\t\t\t<Localisation-cUserLocalisedString>\r\n"
                          "\t\t\t\t\t<English d:type=\"cDeltaString\">"
                          + name + "</English>\r\n\t\t\t\t</Localisation-cUserLocalisedString>\r\n\t\t\t</Name>\r\n";
        if (!valid.isEmpty())
            body += "\t\t\t<ValidInScenarios d:type=\"cDeltaString\">" + valid + "</ValidInScenarios>\r\n";
        return blueprint(body + "\t\t</cSceneryBlueprint>\r\n");
    }

    // Writes a game file below "game/Assets" ("/"-separated) in the binary form; returns its
    // bytes.
    QByteArray writeAsset(const QString& rel, const QByteArray& xml)
    {
        const QByteArray bytes = serzBinary(xml);
        tree.writeFile(QStringLiteral("game/Assets/") + rel, bytes);
        return bytes;
    }
    QByteArray readAsset(const QString& rel) const { return tree.readFile(QStringLiteral("game/Assets/") + rel); }
    bool assetExists(const QString& rel) const { return tree.exists(QStringLiteral("game/Assets/") + rel); }

    QString assets() const { return tree.gamePath() + QStringLiteral("\\Assets"); }

    TempTree tree;
    ScriptedUi ui;
};
