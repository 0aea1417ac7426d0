#pragma once
// A copy of the sample game with the test serializer, the scenario editor loaded from the
// shared texts the browser leaves, and the request the window would hand to "Save Changes".

#include "scenario_editor/EditorFixture.h"
#include "scenarios/BrowserFixture.h"

#include "platform/TextCodec.h"
#include "scenarios/ScenarioEditor.h"
#include "scenarios/ScenarioSave.h"
#include "support/FolderContents.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

namespace savetest {

using editortest::kEvening;
using editortest::kMorning;
using editortest::kValley;

// The XML inside a game binary file, through the test serializer; empty when it refuses.
inline QByteArray decoded(const QString& path)
{
    QTemporaryDir dir;
    const QString out = dir.path() + QStringLiteral("/out.xml");
    if (QProcess::execute(testSerzPath(), {path, QStringLiteral("xml:") + out}) != 0)
        return QByteArray();
    return fileBytes(out);
}

class SaveFixture : public editortest::EditorFixture {
protected:
    // Native paths of the valley line's files.
    QString routeDir() const { return tree.gamePath() + QStringLiteral("/Content/Routes/") + kValley; }
    QString listFile() const { return routeDir() + QStringLiteral("/Scenarios.bin"); }
    QString scenarioDir(const QString& id = kMorning) const { return routeDir() + QStringLiteral("/Scenarios/") + id; }
    QString scenarioFile(const QString& id = kMorning) const { return scenarioDir(id) + QStringLiteral("/Scenario.bin"); }
    QString workFile(const QString& name) const { return tree.programPath() + QStringLiteral("/TempFiles/") + name; }

    // The game-style paths the program builds (as the browser sets them).
    QString listFileText() const { return shared().RouteFolder + QStringLiteral("\\Scenarios.bin"); }
    QString scenarioFileText() const { return shared().ScenarioFolder + QStringLiteral("\\Scenario.bin"); }

    // Opens a sample scenario as the browser and the editor do; the request holds the boxes as
    // loaded and the driven consist as shown.
    void open(const QString& id = kMorning)
    {
        useSampleScenario(id);
        loadEditor();
    }
    // Loads the editor from the shared texts as they are now.
    void loadEditor()
    {
        editor.load();
        request = scenarios::SaveRequest();
        request.boxes = editor.boxes;
        request.drivenConsist = editor.tables.drivenConsist;
        request.timetableSelected = editor.IsTimetable;
    }

    scenarios::SaveOutcome save() { return scenarios::saveScenario(editor, request); }

    // The whole game folder and the work files, for "nothing was written" checks.
    QMap<QString, QByteArray> gameFiles() const { return folderSnapshot(tree.gamePath()); }

    scenarios::ScenarioEditor editor;
    scenarios::SaveRequest request;
};

} // namespace savetest
