// The serializer pool with the real test serializer: results in input order whatever each run
// takes, failures at their place with RunSerz's own messages, and a stop that ends the runs
// ahead and leaves no work file.

#include "common/SerzPool.h"

#include "common/Serializer.h"
#include "platform/Paths.h"
#include "support/SampleGame.h"
#include "support/ScopedEnv.h"
#include "support/ScriptedUi.h"
#include "support/TempTree.h"
#include "support/SerzForm.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray xmlOf(int i)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<cBlueprint>\r\n <Name>item " + QByteArray::number(i)
           + "</Name>\r\n</cBlueprint>\r\n";
}

// A file named as the program names it.
QByteArray readAll(const QString& path)
{
    QFile file(platform::nativePath(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SerzPoolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installSerz(tree.systemPath()));
        tree.makeDir(QStringLiteral("program/TempFiles"));
    }

    // Writes input i (each in a folder of its own, all of the same file name, so that runs at
    // once would clash in one work folder); failing ones carry the serializer's failure marker.
    QString writeInput(int i, bool failing = false)
    {
        QByteArray xml = xmlOf(i);
        if (failing)
            xml.replace("<cBlueprint>", "<!--serz:fail-->\r\n<cBlueprint>");
        return tree.writeFile(QStringLiteral("game/in%1/tile.bin").arg(i), serzBinary(xml));
    }

    // Every file left below TempFiles.
    QStringList workFiles() const
    {
        QStringList out;
        QDirIterator it(tree.path(QStringLiteral("program/TempFiles")), QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            out << it.next();
        return out;
    }

    TempTree tree;
    ScriptedUi ui;
};

} // namespace

TEST_F(SerzPoolTest, JobsComeFromTheEnvironmentOrTheCores)
{
    const int cores = std::max(1, QThread::idealThreadCount());
    const struct {
        const char* value;
        int jobs;
    } rows[] = {{"1", 1}, {"4", 4}, {"12", 12}, {"0", cores}, {"-3", cores}, {"four", cores}, {"", cores}};
    for (const auto& row : rows) {
        ScopedEnv unset("VELTRANE_SERZ_JOBS", "x");
        qunsetenv("VELTRANE_SERZ_JOBS");
        ScopedEnv env("VELTRANE_SERZ_JOBS", row.value);
        EXPECT_EQ(SerzPool::jobsFromEnvironment(), row.jobs) << row.value;
    }
}

TEST_F(SerzPoolTest, ResultsComeInInputOrderWhateverEachRunTakes)
{
    constexpr int kInputs = 24;
    QStringList inputs;
    for (int i = 0; i < kInputs; ++i)
        inputs << writeInput(i);

    const struct {
        int jobs;
        bool runsAhead; // other runs have started by the time the first result is handed back
    } rows[] = {{1, false}, {4, true}};
    for (const auto& row : rows) {
        ScopedEnv delay("SERZ_DELAY_MS", "0");
        std::mt19937 random(7u + unsigned(row.jobs));
        SerzPool pool(row.jobs);
        // Asked before every round of starts: each round's runs take their own random time.
        pool.setStopCheck([&random] {
            qputenv("SERZ_DELAY_MS", QByteArray::number(int(random() % 60)));
            return false;
        });
        for (const QString& input : inputs)
            pool.add({input, QStringLiteral("tile.xml")});
        for (int i = 0; i < kInputs; ++i) {
            const SerzOutcome& out = pool.take(i);
            ASSERT_TRUE(out.result.ok) << row.jobs << " " << i << " " << out.result.error.toStdString();
            EXPECT_EQ(readAll(out.output), xmlOf(i)) << row.jobs << " " << i;
            if (i == 0) {
                EXPECT_EQ(pool.started() > 1, row.runsAhead) << row.jobs;
            }
            pool.release(i);
        }
        EXPECT_EQ(pool.started(), kInputs);
    }
    EXPECT_EQ(workFiles(), QStringList());
}

TEST_F(SerzPoolTest, AFailureIsReportedAtItsPlaceAsARunOfItsOwnReportsIt)
{
    const QList<bool> failing{false, false, true, false, false, true, false};
    QStringList inputs;
    for (int i = 0; i < failing.size(); ++i)
        inputs << writeInput(i, failing[i]);
    // What converting each input alone says.
    QStringList alone;
    for (const QString& input : inputs)
        alone << RunSerz(input, serz::ToXml, tree.programPath() + QStringLiteral("\\TempFiles\\alone.xml"),
                         tree.programPath())
                     .error;
    QFile::remove(tree.path(QStringLiteral("program/TempFiles/alone.xml")));
    ASSERT_TRUE(alone[2].startsWith(QStringLiteral("SERZ.EXE could not convert "))) << alone[2].toStdString();

    for (int jobs : {1, 4}) {
        ScopedEnv delay("SERZ_DELAY_MS", "20");
        SerzPool pool(jobs);
        for (const QString& input : inputs)
            pool.add({input, QStringLiteral("tile.xml")});
        for (int i = 0; i < inputs.size(); ++i) {
            const SerzOutcome& out = pool.take(i);
            EXPECT_EQ(out.result.ok, !failing[i]) << jobs << " " << i;
            EXPECT_EQ(out.result.error, alone[i]) << jobs << " " << i;
            if (out.result.ok) {
                EXPECT_EQ(readAll(out.output), xmlOf(i)) << jobs << " " << i;
            }
            pool.release(i);
        }
    }
    EXPECT_EQ(workFiles(), QStringList());
}

TEST_F(SerzPoolTest, CopiesAreMadeInTheSlotAndAMissingInputRunsNothing)
{
    const QString present = writeInput(1);
    const QString missing = tree.path(QStringLiteral("game/none/tile.bin"));
    for (int jobs : {1, 4}) {
        SerzPool pool(jobs);
        pool.add({present, QStringLiteral("shape.xml"), QStringLiteral("shape.bin")});
        pool.add({missing, QStringLiteral("shape.xml"), QStringLiteral("shape.bin")});
        pool.add({present, QStringLiteral("shape.xml"), QStringLiteral("shape.bin")});
        for (int i : {0, 1, 2}) {
            const SerzOutcome& out = pool.take(i);
            EXPECT_EQ(out.copied, i != 1) << jobs << " " << i;
            EXPECT_EQ(out.result.ok, i != 1) << jobs << " " << i;
            if (i != 1) {
                EXPECT_EQ(readAll(out.copy), readAll(present));
                EXPECT_EQ(readAll(out.output), xmlOf(1));
            }
            pool.release(i);
        }
        EXPECT_EQ(pool.started(), 2) << jobs;
    }
    EXPECT_EQ(workFiles(), QStringList());
}

TEST_F(SerzPoolTest, StoppingEndsTheRunsAheadAndLeavesNoWorkFile)
{
    constexpr int kInputs = 12;
    QStringList inputs;
    for (int i = 0; i < kInputs; ++i)
        inputs << writeInput(i);
    ScopedEnv delay("SERZ_DELAY_MS", "400");

    // Stopped while the first result is awaited: that one is still handed back, the three
    // started beside it are ended and nothing more starts.
    {
        SerzPool pool(4);
        int asked = 0;
        pool.setStopCheck([&asked] { return ++asked == 2; });
        for (const QString& input : inputs)
            pool.add({input, QStringLiteral("tile.xml")});
        const SerzOutcome& first = pool.take(0);
        ASSERT_TRUE(first.result.ok);
        EXPECT_EQ(readAll(first.output), xmlOf(0));
        EXPECT_TRUE(pool.stopped());
        EXPECT_EQ(pool.started(), 4);
        EXPECT_EQ(workFiles(), QStringList{platform::nativePath(first.output)});
        // A result asked for after the stop is converted then, alone.
        const SerzOutcome& later = pool.take(5);
        EXPECT_EQ(readAll(later.output), xmlOf(5));
        EXPECT_EQ(pool.started(), 5);
    }
    EXPECT_EQ(workFiles(), QStringList());

    // Stopped between results: what ran ahead is thrown away at once.
    {
        qputenv("SERZ_DELAY_MS", "0");
        SerzPool pool(4);
        for (const QString& input : inputs)
            pool.add({input, QStringLiteral("tile.xml")});
        pool.take(0);
        pool.release(0);
        pool.take(1); // by now the runs for 2 to 4 have started
        pool.stop();
        EXPECT_EQ(workFiles().size(), 1); // the result taken stays until released
        pool.release(1);
        EXPECT_EQ(workFiles(), QStringList());
    }
    EXPECT_EQ(workFiles(), QStringList());
}

// A Windows serializer runs through $VELTRANE_WINE: the pool starts the wineserver beside it
// for WINEPREFIX, persistent, and waits until it takes clients before the first run; a native
// serializer needs none. While another server of the prefix runs (the starter ends with 2),
// the pool tries again at a later run.
TEST_F(SerzPoolTest, AWindowsSerializerGetsOnePersistentWineServerPerPool)
{
    const auto script = [this](const QString& rel, const QByteArray& text) {
        const QString path = tree.writeFile(rel, "#!/bin/sh\n" + text);
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
        return path;
    };
    const QString log = tree.path(QStringLiteral("wine-bin/server.log"));
    const QByteArray ready = QFile::encodeName(tree.path(QStringLiteral("wine-bin/ready")));
    const QString busyFile = QStringLiteral("wine-bin/busy");
    const QByteArray busy = QFile::encodeName(tree.path(busyFile));
    const QString runs = tree.path(QStringLiteral("wine-bin/runs.log"));
    // Each run notes whether the server was ready when it started, and takes 0.35 s.
    const QString wine = script(QStringLiteral("wine-bin/wine"), "if [ -e '" + ready + "' ]; then echo ready; else echo early; fi >> '"
                                                                  + QFile::encodeName(runs) + "'\nsleep 0.35\nexit 3\n");
    // The server takes a while before it takes clients; with "busy" another one runs.
    script(QStringLiteral("wine-bin/wineserver"),
           "echo \"$WINEPREFIX $*\" >> '" + QFile::encodeName(log) + "'\nif [ -e '" + busy + "' ]; then rm '" + busy
               + "'; exit 2; fi\nsleep 0.3\ntouch '" + ready + "'\n");
    const QString prefix = tree.makeDir(QStringLiteral("prefix"));
    const ScopedEnv wineEnv("VELTRANE_WINE", wine);
    const ScopedEnv prefixEnv("WINEPREFIX", prefix);
    const QByteArray started = QFile::encodeName(prefix) + " -p5\n";

    struct Row {
        const char* what;
        bool windows, anotherServer;
        QByteArray serverLog, runs;
    };
    const Row rows[] = {
        {"native", false, false, "", ""},
        // Each run fails without an output and is made once more.
        {"through Wine", true, false, started, "ready\nready\nready\nready\nready\nready\nready\nready\n"},
        {"through Wine, another server at first", true, true, started + started, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (const QString& f : {log, runs, QFile::decodeName(ready), QFile::decodeName(busy)})
            QFile::remove(f);
        if (row.anotherServer)
            tree.writeFile(busyFile, "");
        if (row.windows)
            tree.writeFile(QStringLiteral("program/System32/serz.exe"), "MZ, run through Wine");
        SerzPool pool(1);
        for (int i = 0; i < 4; ++i)
            pool.add({writeInput(i), QStringLiteral("tile.xml")});
        for (qsizetype t = 0; t < pool.count(); ++t)
            EXPECT_EQ(pool.take(t).result.ok, !row.windows) << t;
        EXPECT_EQ(pool.started(), row.windows ? 8 : 4);
        EXPECT_EQ(pool.wineServerStarted(), row.windows);
        EXPECT_EQ(readAll(log), row.serverLog);
        if (row.anotherServer) {
            // Early runs until the second try, ready ones after it.
            const QByteArray seen = readAll(runs);
            EXPECT_TRUE(seen.startsWith("early\n") && seen.endsWith("ready\n")) << seen.constData();
        } else {
            EXPECT_EQ(readAll(runs), row.runs);
        }
    }
}

// A run through Wine that fails without an output is made once more, as RunSerz makes it; a
// native serializer's failure is final. The serializer here fails the first run it is given.
TEST_F(SerzPoolTest, AWindowsRunThatFailsWithoutOutputIsMadeOnceMore)
{
    const QByteArray log = QFile::encodeName(tree.path(QStringLiteral("runs.log")));
    const QByteArray real = VELTRANE_BIN_DIR "/serz.exe";
    const auto script = [this, &log](const QString& rel, const QByteArray& body) {
        const QString path = tree.writeFile(rel, "#!/bin/sh\necho run >> '" + log + "'\n" + body);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    };
    // The stand-in for Wine turns the "Z:\" paths back into native ones for the test serializer.
    const QString wine = script(QStringLiteral("fakewine/wine"),
                                "shift\nfor a in \"$@\"; do\n"
                                "  set -- \"$@\" \"$(printf '%s' \"$a\" | sed 's/^\\([a-z/]*:\\)\\{0,1\\}Z:/\\1/')\"\n"
                                "  shift\ndone\nexec '" + real + "' \"$@\"\n");
    tree.writeFile(QStringLiteral("fakewine/wineserver"), "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(tree.path(QStringLiteral("fakewine/wineserver")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const ScopedEnv wineEnv("VELTRANE_WINE", QFile::encodeName(wine));
    const ScopedEnv prefixEnv("WINEPREFIX", QFile::encodeName(tree.makeDir(QStringLiteral("prefix"))));
    const QString marker = tree.path(QStringLiteral("failed-once"));
    const ScopedEnv once("SERZ_FAIL_ONCE", QFile::encodeName(marker));

    const QList<bool> failing{false, false, true, false};
    struct Row {
        const char* what;
        bool windows;
        int failedOnce; // inputs that fail only on their first run
        int runs;
    } rows[] = {
        {"native", false, 1, 4},
        {"through Wine", true, 0, 4 + 1 + 1}, // the first run again, and the failing input
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QFile::remove(tree.path(QStringLiteral("program/System32/serz.exe")));
        if (row.windows)
            tree.writeFile(QStringLiteral("program/System32/serz.exe"), QByteArray("MZ\x90\x00", 4));
        else
            script(QStringLiteral("program/System32/serz.exe"), "exec '" + real + "' \"$@\"\n");
        QFile::remove(QFile::decodeName(log));
        QFile::remove(marker);
        // One run at a time, so that the first run is the one that fails.
        SerzPool pool(1);
        for (int i = 0; i < failing.size(); ++i)
            pool.add({writeInput(i, failing[i]), QStringLiteral("tile.xml")});
        int failedOnce = 0;
        for (int i = 0; i < failing.size(); ++i) {
            const SerzOutcome& out = pool.take(i);
            if (failing[i]) {
                EXPECT_FALSE(out.result.ok) << i;
            } else if (!out.result.ok) {
                ++failedOnce;
            } else {
                EXPECT_EQ(readAll(out.output), xmlOf(i)) << i;
            }
            pool.release(i);
        }
        EXPECT_EQ(failedOnce, row.failedOnce);
        EXPECT_EQ(pool.started(), row.runs);
        EXPECT_EQ(readAll(QFile::decodeName(log)).count("run"), row.runs);
        EXPECT_TRUE(QFile::exists(marker));
    }
    EXPECT_EQ(workFiles(), QStringList());
}
