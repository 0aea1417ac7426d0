#pragma once
// A temporary program folder and game for the route list tests, with the test serializer
// installed, and helpers that make and read game files in the serializer's binary form.

#include "common/Serializer.h"
#include "common/SharedState.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <gtest/gtest.h>
#include "support/ScopedEnv.h"
#include "support/GameFixture.h"

// The sample game's two routes and the first route's two scenarios.
inline const QString kValleyRoute = QStringLiteral("5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70");
inline const QString kBranchRoute = QStringLiteral("9d8e7f60-1a2b-4c3d-8e4f-5a6b7c8d9e0f");
inline const QString kMorningFreight = QStringLiteral("3e5a7c91-2b4d-4f60-8a1c-d2e3f4a5b6c7");
inline const QString kEveningShuttle = QStringLiteral("7f6e5d4c-3b2a-4190-8877-665544332211");

class RouteGameTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        ASSERT_TRUE(installSerz(tree.systemPath()));
        tree.makeDir(QStringLiteral("program/TempFiles"));
        shared().GamePath = tree.gamePath();
    }

    // Copies the sample game into the test's game folder.
    void useSampleGame() { ASSERT_TRUE(copySampleGame(tree.gamePath())) << "the sample game has not been built"; }

    static QString routeRel(const QString& route) { return QStringLiteral("game/Content/Routes/") + route; }
    static QString listRel(const QString& route) { return routeRel(route) + QStringLiteral("/Scenarios.bin"); }

    // Writes a game file in the serializer's binary form made from xml.
    void writeBinary(const QString& rel, const QByteArray& xml)
    {
        const QString source = tree.writeFile(QStringLiteral("fixture/source.xml"), xml);
        QDir().mkpath(QFileInfo(tree.path(rel)).absolutePath());
        const ConversionResult made = RunSerz(source, serz::ToBin, tree.path(rel), tree.programPath());
        ASSERT_TRUE(made.ok) << made.error.toStdString();
    }

    // The XML bytes of a game file in the serializer's binary form ("" when it cannot be read).
    QByteArray decodeBinary(const QString& rel)
    {
        const QString out = tree.path(QStringLiteral("fixture/decoded.xml"));
        QDir().mkpath(QFileInfo(out).absolutePath());
        if (!RunSerz(tree.path(rel), serz::ToXml, out, tree.programPath()).ok)
            return QByteArray();
        QFile f(out);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // One scenario entry as the serializer writes it (CR LF, tab indented). padding puts an
    // element before the ID, so that the entry's "DevString" stands further from its start.
    static QByteArray entry(const QByteArray& folder, const QByteArray& english, const QByteArray& french = "",
                            bool padding = false)
    {
        QByteArray e = "\t\t<cScenarioProperties d:id=\"31\">\r\n";
        if (padding)
            e += "\t\t\t<Padding d:type=\"cDeltaString\">a rather long element before the identifier</Padding>\r\n";
        e += "\t\t\t<ID>\r\n\t\t\t\t<cGUID>\r\n\t\t\t\t\t<DevString d:type=\"cDeltaString\">" + folder
             + "</DevString>\r\n\t\t\t\t</cGUID>\r\n\t\t\t</ID>\r\n";
        e += "\t\t\t<DisplayName>\r\n\t\t\t\t<Localisation-cUserLocalisedString>\r\n";
        e += "\t\t\t\t\t<English d:type=\"cDeltaString\">" + english + "</English>\r\n";
        e += "\t\t\t\t\t<French d:type=\"cDeltaString\">" + french + "</French>\r\n";
        e += "\t\t\t\t\t<Italian d:type=\"cDeltaString\"></Italian>\r\n";
        e += "\t\t\t\t\t<German d:type=\"cDeltaString\"></German>\r\n";
        e += "\t\t\t\t\t<Spanish d:type=\"cDeltaString\"></Spanish>\r\n";
        e += "\t\t\t\t</Localisation-cUserLocalisedString>\r\n\t\t\t</DisplayName>\r\n";
        e += "\t\t\t<Rating d:type=\"sInt32\">2</Rating>\r\n";
        e += "\t\t</cScenarioProperties>\r\n";
        return e;
    }

    static QByteArray listHead()
    {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cRecordSet xmlns:d=\"http://www.veltrane.example/2003/Delta\" "
               "d:version=\"1.0\" d:id=\"300000001\">\r\n\t<Record>\r\n";
    }
    static QByteArray listTail() { return "\t</Record>\r\n</cRecordSet>\r\n"; }
    static QByteArray scenarioList(const QList<QByteArray>& entries)
    {
        QByteArray xml = listHead();
        for (const QByteArray& e : entries)
            xml += e;
        return xml + listTail();
    }

    // A route of the test's own with the given scenario list; existing lists the scenario
    // folders made on disk (each with a Scenario.bin).
    void makeRoute(const QString& route, const QByteArray& listXml, const QStringList& existing)
    {
        writeBinary(listRel(route), listXml);
        tree.makeDir(routeRel(route) + QStringLiteral("/Scenarios"));
        for (const QString& folder : existing)
            tree.writeFile(routeRel(route) + QStringLiteral("/Scenarios/") + folder + QStringLiteral("/Scenario.bin"),
                           "scenario " + folder.toUtf8());
    }
};
