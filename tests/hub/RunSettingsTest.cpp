// The settings writer that ./run calls before it starts the program.
#include "support/ChildProcess.h"
#include "support/TempTree.h"

#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

const QString kTool = QStringLiteral(VELTRANE_BIN_DIR "/veltrane-settings");
const QByteArray kOldRecord = "12000,9000,-30,45,\"/usr/bin/gimp\",\"\",\"C:\\Old Game\",#TRUE#,\"kept\",\"/opt/pdf\"\r\n";

} // namespace

TEST(RunSettings, FirstStartAndExistingSettingsGetTheFolderInTheProgramsCodePageOrStayAsTheyWere)
{
    const struct {
        const char* name;
        const char* locale;
        QByteArray before; // empty: no file
        const char* folderUtf8;
        int status;
        QByteArray after; // empty: no file; for a refusal, the file as it was
    } rows[] = {
        {"first start", "C", "", "/games/Caf\xc3\xa9 game", 0,
         "16800,12600,600,1200,\"\",\"\",\"/games/Caf\xE9 game\",#FALSE#,\"\",\"\"\r\n"},
        {"existing settings", "en_US.UTF-8", kOldRecord, "/home/jos\xc3\xa9/rs", 0,
         "12000,9000,-30,45,\"/usr/bin/gimp\",\"\",\"/home/jos\xE9/rs\",#TRUE#,\"kept\",\"/opt/pdf\"\r\n"},
        {"a short record keeps what it has", "C", "5000,4000\r\n", "/g", 0,
         "5000,4000,0,0,\"\",\"\",\"/g\",#FALSE#,\"\",\"\"\r\n"},
        {"Polish settings", "pl_PL.UTF-8", kOldRecord, "/home/\xc5\x82ukasz/rs", 0,
         "12000,9000,-30,45,\"/usr/bin/gimp\",\"\",\"/home/\xB3ukasz/rs\",#TRUE#,\"kept\",\"/opt/pdf\"\r\n"},
        {"a folder the code page lacks", "C", kOldRecord, "/home/\xc5\x82ukasz/rs", 1, kOldRecord},
        {"the same on a first start", "el_GR.UTF-8", "", "/home/\xc5\x82ukasz/rs", 1, ""},
    };
    for (const auto& row : rows) {
        TempTree tree;
        const QString prefs = tree.path(QStringLiteral("program/preferences.txt"));
        if (!row.before.isEmpty())
            tree.writeFile(prefs, row.before);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(row.locale));
        const QString folder = QString::fromUtf8(row.folderUtf8);
        const ProcessRun run = runProcess(kTool, {prefs, folder}, 30000, QString(), env);
        EXPECT_EQ(run.status, row.status) << row.name << ": " << run.err.toStdString();
        EXPECT_EQ(tree.exists(prefs), !row.after.isEmpty()) << row.name;
        EXPECT_EQ(tree.readFile(prefs), row.after) << row.name;
        if (row.status == 0) {
            EXPECT_TRUE(run.err.isEmpty()) << row.name;
        } else {
            EXPECT_TRUE(run.err.contains(QStringLiteral("The settings could not be written to ") + prefs)) << row.name;
            EXPECT_TRUE(run.err.contains(QStringLiteral("The path ") + folder + QStringLiteral(" cannot be written")))
                << row.name << ": " << run.err.toStdString();
        }
    }
}
