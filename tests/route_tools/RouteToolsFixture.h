#pragma once
// The route list window on a copy of the sample game, for the substitution and the stock
// list: the windows those commands open are closed after each test, so that every test
// starts with fresh ones.

#include "routes/RouteGame.h"

#include "common/frmReport.h"
#include "routes/dlgMissShape.h"
#include "routes/frmDelRoute.h"
#include "routes/frmListRS.h"
#include "support/WidgetRows.h"
#include "support/FolderContents.h"

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
    QMap<QString, QByteArray> snapshot() const { return folderSnapshot(tree.gamePath()); }

    std::unique_ptr<frmDelRoute> w;
};
