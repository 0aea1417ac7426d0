#pragma once
// A temporary copy of the sample game with the test serializer, the scripted user interface
// and fresh shared state, for the browser's tests.

#include "common/SharedState.h"
#include "platform/Paths.h"
#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QTemporaryDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <optional>
#include "support/ScopedEnv.h"
#include "support/FolderContents.h"
#include "support/GameFixture.h"

namespace browsertest {

inline const QString kValley = QStringLiteral("5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70");
inline const QString kEastfield = QStringLiteral("9d8e7f60-1a2b-4c3d-8e4f-5a6b7c8d9e0f");
inline const QString kMorning = QStringLiteral("3e5a7c91-2b4d-4f60-8a1c-d2e3f4a5b6c7");
inline const QString kEvening = QStringLiteral("7f6e5d4c-3b2a-4190-8877-665544332211");

class BrowserFixture : public SampleGameFixture {
protected:
    BrowserFixture() : SampleGameFixture({.serz = true}) {}

    // Paths below the game folder, native.
    QString game(const QString& relative) const { return tree.gamePath() + QLatin1Char('/') + relative; }
    QString route(const QString& folder, const QString& relative = QString()) const
    {
        return game(QStringLiteral("Content/Routes/") + folder + (relative.isEmpty() ? QString() : QLatin1Char('/') + relative));
    }
    QString scenario(const QString& routeFolder, const QString& id, const QString& relative = QString()) const
    {
        return route(routeFolder, QStringLiteral("Scenarios/") + id + (relative.isEmpty() ? QString() : QLatin1Char('/') + relative));
    }
    // The game-style paths the program builds.
    QString routePathText(const QString& folder) const
    {
        return tree.gamePath() + QStringLiteral("\\content\\Routes\\") + folder;
    }

    static QByteArray bytes(const QString& path) { return fileBytes(path); }
    static bool write(const QString& path, const QByteArray& content) { return writeFileBytes(path, content); }

    // The test serializer's conversion of a file (either way, by content).
    static QByteArray convert(const QByteArray& content)
    {
        QTemporaryDir dir;
        const QString in = dir.path() + QStringLiteral("/in");
        const QString out = dir.path() + QStringLiteral("/out");
        write(in, content);
        if (QProcess::execute(testSerzPath(), {in, QStringLiteral("xml:") + out}) != 0)
            return QByteArray();
        return bytes(out);
    }
    // Writes XML as a game binary file.
    static bool writeBinary(const QString& path, const QByteArray& xml) { return write(path, convert(xml)); }
    // The XML of a game binary file.
    static QByteArray xmlOf(const QString& path) { return convert(bytes(path)); }

    // Every file below a folder with its bytes, for "nothing changed" checks.
    static QMap<QString, QByteArray> snapshot(const QString& folder) { return folderSnapshot(folder); }
};

} // namespace browsertest
