#pragma once
// The route list window on a copy of the sample game, for the substitution and the stock
// list: the windows those commands open are closed after each test, so that every test
// starts with fresh ones.

#include "routes/RouteGame.h"

#include "common/frmReport.h"
#include "routes/dlgMissShape.h"
#include "routes/frmDelRoute.h"
#include "routes/frmListRS.h"

#include <QDirIterator>
#include <QListWidget>
#include <QMap>

#include <memory>

class RouteToolsTest : public RouteGameTest {
protected:
    void SetUp() override
    {
        RouteGameTest::SetUp();
        useSampleGame();
        w = std::make_unique<frmDelRoute>();
    }
    void TearDown() override
    {
        w.reset();
        delete dlgMissShape::existing();
        delete frmListRS::existing();
        delete frmReport::existing();
        RouteGameTest::TearDown();
    }

    // The XML source the sample's binary file was built from.
    static QByteArray sampleSource(const QString& gameRel)
    {
        QFile f(QStringLiteral(VELTRANE_SOURCE_DIR "/samples/game/") + gameRel + QStringLiteral(".xml"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Every file of the game folder, by path relative to it, with its bytes.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> files;
        const QDir game(tree.gamePath());
        QDirIterator it(tree.gamePath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            files.insert(game.relativeFilePath(path), f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
        }
        return files;
    }

    // The files that differ between two snapshots (changed, added or removed), sorted.
    static QStringList changedFiles(const QMap<QString, QByteArray>& before, const QMap<QString, QByteArray>& after)
    {
        QStringList out;
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (!before.contains(it.key()) || before.value(it.key()) != it.value())
                out << it.key();
        }
        for (auto it = before.begin(); it != before.end(); ++it) {
            if (!after.contains(it.key()))
                out << it.key();
        }
        out.sort();
        return out;
    }

    static QStringList rows(const QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

    std::unique_ptr<frmDelRoute> w;
};
