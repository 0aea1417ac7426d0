#pragma once
// A fixture for the main window's tests: its own program, game and Wine folders, the
// scripted user interface, and helpers around the sample game and the test serializer.

#include "common/Serializer.h"
#include "common/SharedState.h"
#include "hub/frmEditor.h"
#include "hub/Preferences.h"
#include "platform/Paths.h"

#include "support/SampleGame.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/GameFixture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class EditorTest : public UiFixture {
protected:
    // A scenario of the sample game, relative to the game folder.
    static QString scenarioRel()
    {
        return QStringLiteral("Content/Routes/5b1f2e3a-7c4d-4a8e-9f10-2b3c4d5e6f70/Scenarios/"
                              "7f6e5d4c-3b2a-4190-8877-665544332211/Scenario.bin");
    }
    // The XML source the sample's binary file was built from.
    static QByteArray sourceXml(const QString& gameRel)
    {
        QFile f(QStringLiteral(VELTRANE_SOURCE_DIR "/samples/game/") + gameRel + QStringLiteral(".xml"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The settings file: a 600 by 400 pixel window at (80, 40), the given game folder.
    void writePreferences(const QString& gamePath, bool xmlEditorDefault = false,
                          const QString& reserved = QString())
    {
        PreferencesRecord rec;
        rec.Width = 9000;
        rec.Height = 6000;
        rec.Top = 600;
        rec.Left = 1200;
        rec.GamePath = gamePath;
        rec.XmlEditorDefault = xmlEditorDefault;
        rec.Reserved = reserved;
        tree.writeFile(QStringLiteral("program/preferences.txt"), FormatPreferences(rec));
    }

    // The sample game in the test's game folder and settings that point at it.
    void prepareGame(bool xmlEditorDefault = false)
    {
        ASSERT_TRUE(copySampleGame(tree.gamePath()));
        writePreferences(tree.gamePath(), xmlEditorDefault);
    }

    std::unique_ptr<frmEditor> startWindow(const QString& commandLine = QString())
    {
        auto window = std::make_unique<frmEditor>();
        window->setCommandLine(commandLine);
        window->Form_Load();
        return window;
    }

    QString game(const QString& rel) const { return tree.gamePath() + QLatin1Char('/') + rel; }
    QByteArray bytesOf(const QString& path) const
    {
        QFile f(platform::nativePath(path));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The XML of a binary game file, as the test serializer turns it back.
    QByteArray xmlOf(const QString& binaryPath) { return xmlOfGameFile(binaryPath); }
};
