#include "common/SerzPool.h"

#include "common/TempFiles.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/Ui.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

using platform::nativePath;

namespace {

// Window events are let through at least this often while the pool waits.
constexpr qint64 kEventsEveryMs = 20;
// How long one wait for the awaited process lasts before the others are looked at again.
constexpr int kPollMs = 2;
// How long the wineserver started for a scan stays after the scan's last Wine process.
constexpr int kWineServerLingerSeconds = 5;
// How long the pool waits for that server to take clients.
constexpr int kWineServerStartMs = 10000;

qint64 monotonicMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

void removeFile(const QString& path)
{
    if (!path.isEmpty())
        QFile::remove(nativePath(path));
}

} // namespace

SerzPool::Entry::Entry(SerzJob j) : job(std::move(j)) {}
SerzPool::Entry::~Entry() = default;
SerzPool::Entry::Entry(Entry&&) noexcept = default;

int SerzPool::jobsFromEnvironment()
{
    bool ok = false;
    const int wanted = qEnvironmentVariableIntValue("VELTRANE_SERZ_JOBS", &ok);
    if (ok && wanted >= 1)
        return std::min(wanted, 256);
    return std::max(1, QThread::idealThreadCount());
}

SerzPool::SerzPool(int jobs, QString workFolder, QString currentFolder)
    : jobs_(std::max(1, jobs)),
      workFolder_(workFolder.isEmpty() ? TempFilesFolder() : std::move(workFolder)),
      currentFolder_(currentFolder.isEmpty() ? platform::programFolder() : std::move(currentFolder))
{
}

SerzPool::~SerzPool()
{
    stop();
    for (qsizetype t = 0; t < qsizetype(entries_.size()); ++t)
        release(t);
    for (int slot = 1; slot <= slotsMade_; ++slot)
        QDir(nativePath(slotFolder(slot))).removeRecursively();
}

QString SerzPool::slotFolder(int slot) const
{
    return workFolder_ + QStringLiteral("\\SerzSlot") + QString::number(slot);
}

int SerzPool::takeSlot()
{
    if (!freeSlots_.empty()) {
        // The lowest free slot, so that a run of one job at a time keeps to one folder.
        const auto lowest = std::min_element(freeSlots_.begin(), freeSlots_.end());
        const int slot = *lowest;
        freeSlots_.erase(lowest);
        return slot;
    }
    return ++slotsMade_;
}

qsizetype SerzPool::add(SerzJob job)
{
    entries_.emplace_back(std::move(job));
    return qsizetype(entries_.size()) - 1;
}

void SerzPool::start(qsizetype ticket)
{
    Entry& e = entries_[size_t(ticket)];
    e.slot = takeSlot();
    const QString folder = slotFolder(e.slot);
    const QString nativeFolder = nativePath(folder);
    if (!QFileInfo(nativeFolder).isDir()) {
        QDir().mkpath(nativeFolder);
        platform::clearPathCache();
    }
    SerzOutcome& out = e.outcome;
    out.output = folder + QLatin1Char('\\') + e.job.outputName;
    removeFile(out.output);
    QString input = e.job.input;
    if (!e.job.copyName.isEmpty()) {
        out.copy = folder + QLatin1Char('\\') + e.job.copyName;
        removeFile(out.copy);
        if (!QFile::copy(nativePath(e.job.input), nativePath(out.copy))) {
            out.copied = false;
            out.result = ConversionResult{false, QStringLiteral("The file ") + e.job.input
                                                     + QStringLiteral(" could not be copied to ") + out.copy
                                                     + QLatin1Char('.')};
            e.state = State::Done;
            ++held_;
            return;
        }
        input = out.copy;
    }

    QDir::setCurrent(nativePath(currentFolder_));
    e.commandLine = SerzCommandLine(input, e.job.switchText, out.output);
    if (!wineServerStarted_ && !noWineServer_)
        keepWineServer(e.commandLine);
    if (!launch(e)) {
        out.result = SerzRunResult(input, out.output, false, -1);
        e.state = State::Done;
        ++held_;
        return;
    }
    e.state = State::Running;
    ++running_;
}

bool SerzPool::launch(Entry& e)
{
    e.process = std::make_unique<platform::Process>();
    ++started_;
    if (!e.process->startWithoutWaiting(e.commandLine, 0)) {
        e.process.reset();
        return false;
    }
    return true;
}

void SerzPool::keepWineServer(const QString& commandLine)
{
    // Each Wine process needs the prefix's wineserver; without one that stays, every run starts
    // its own and waits for it. A server started with "-p N" stays N seconds after its last
    // client has gone, so it serves the whole scan and ends by itself after it. When a server
    // already runs for the prefix the new one sees it and leaves at once, the old one untouched;
    // when that one ends with its last client, a later run tries again.
    platform::LaunchPlan plan;
    if (!platform::planLaunch(commandLine, plan) || plan.kind != platform::LaunchPlan::Windows) {
        noWineServer_ = true;
        return;
    }
    const qint64 now = monotonicMs();
    if (lastWineServerTryMs_ >= 0 && now - lastWineServerTryMs_ < 1000)
        return;
    lastWineServerTryMs_ = now;
    QString wine = QStandardPaths::findExecutable(plan.program);
    if (wine.isEmpty())
        wine = plan.program;
    QString server = QFileInfo(wine).absolutePath() + QStringLiteral("/wineserver");
    if (!QFileInfo(server).isExecutable())
        server = QStandardPaths::findExecutable(QStringLiteral("wineserver"));
    if (server.isEmpty()) {
        noWineServer_ = true;
        return;
    }
    // It outlives the pool: it must hold none of this program's input or output open. The
    // command returns once the server it leaves behind takes clients; a Wine process started
    // before that would start a server of its own, which ends with each run.
    QProcess starter;
    starter.setProgram(server);
    starter.setArguments({QStringLiteral("-p") + QString::number(kWineServerLingerSeconds)});
    starter.setStandardInputFile(QProcess::nullDevice());
    starter.setStandardOutputFile(QProcess::nullDevice());
    starter.setStandardErrorFile(QProcess::nullDevice());
    // It ends with status 2 when a server runs for the prefix already.
    starter.start();
    if (!starter.waitForStarted(kWineServerStartMs))
        return;
    if (!starter.waitForFinished(kWineServerStartMs)) {
        starter.kill(); // the command alone, never the server: runs go on without waiting longer
        wineServerStarted_ = true;
        return;
    }
    wineServerStarted_ = starter.exitStatus() == QProcess::NormalExit && starter.exitCode() == 0;
}

void SerzPool::finish(qsizetype ticket)
{
    Entry& e = entries_[size_t(ticket)];
    const QString input = e.outcome.copy.isEmpty() ? e.job.input : e.outcome.copy;
    const bool started = !e.process->failedToStart();
    e.outcome.result = SerzRunResult(input, e.outcome.output, started, e.process->exitStatus());
    e.process.reset();
    // A Windows serializer that failed through Wine without an output runs once more, as
    // RunSerz does.
    if (!e.outcome.result && !e.retried && SerzRunMayBeRetried(e.commandLine, started, e.outcome.output)) {
        e.retried = true;
        removeFile(e.outcome.output);
        QDir::setCurrent(nativePath(currentFolder_));
        if (launch(e))
            return; // still running
    }
    e.state = State::Done;
    --running_;
    ++held_;
}

void SerzPool::dispatch(qsizetype waited)
{
    if (stopped_) {
        // Once stopped, only what is asked for runs.
        if (waited >= 0 && entries_[size_t(waited)].state == State::Queued && running_ < jobs_)
            start(waited);
        return;
    }
    while (nextToStart_ < qsizetype(entries_.size()) && running_ < jobs_) {
        if (entries_[size_t(nextToStart_)].state != State::Queued) {
            ++nextToStart_;
            continue;
        }
        if (nextToStart_ > waited) {
            // Running ahead: never with one job, and only while the results not taken yet
            // stay within four times the number of jobs.
            if (jobs_ == 1 || held_ + running_ >= 4 * jobs_)
                break;
        }
        start(nextToStart_++);
    }
}

void SerzPool::poll()
{
    if (running_ == 0)
        return;
    for (qsizetype t = 0; t < nextToStart_; ++t) {
        Entry& e = entries_[size_t(t)];
        if (e.state == State::Running && e.process->waitForEnd(0))
            finish(t);
    }
}

void SerzPool::events()
{
    const qint64 now = monotonicMs();
    if (lastEventsMs_ >= 0 && now - lastEventsMs_ < kEventsEveryMs)
        return;
    lastEventsMs_ = now;
    ui().doEvents();
}

const SerzOutcome& SerzPool::take(qsizetype ticket)
{
    Entry& e = entries_[size_t(ticket)];
    e.taken = true;
    while (e.state == State::Queued || e.state == State::Running) {
        if (!stopped_ && stopCheck_ && stopCheck_())
            stopExcept(ticket);
        dispatch(ticket);
        poll();
        if (e.state == State::Running && e.process->waitForEnd(kPollMs))
            finish(ticket);
        if (e.state == State::Queued || e.state == State::Running)
            events();
    }
    return e.outcome;
}

bool SerzPool::ready(qsizetype ticket)
{
    dispatch(-1);
    poll();
    dispatch(-1);
    const State state = entries_[size_t(ticket)].state;
    return state == State::Done || state == State::Released;
}

void SerzPool::discard(qsizetype ticket)
{
    Entry& e = entries_[size_t(ticket)];
    if (e.state == State::Running) {
        e.process.reset(); // ends it
        --running_;
        // A serializer ended in the middle of its work may leave a half-written file of any
        // name: the slot's folder goes as a whole (it is made again when next used).
        if (e.slot >= 0)
            QDir(nativePath(slotFolder(e.slot))).removeRecursively();
    } else if (e.state == State::Done) {
        --held_;
    }
    removeFile(e.outcome.output);
    removeFile(e.outcome.copy);
    if (e.slot >= 0)
        freeSlots_.push_back(e.slot);
    e.slot = -1;
}

void SerzPool::release(qsizetype ticket)
{
    Entry& e = entries_[size_t(ticket)];
    if (e.state != State::Released)
        discard(ticket);
    e.state = State::Released;
}

void SerzPool::stopExcept(qsizetype keep)
{
    stopped_ = true;
    for (qsizetype t = 0; t < qsizetype(entries_.size()); ++t) {
        Entry& e = entries_[size_t(t)];
        if (t == keep || e.taken || (e.state != State::Running && e.state != State::Done))
            continue;
        // Ran ahead of the scan: thrown away, to be converted again only if asked for.
        discard(t);
        e.state = State::Queued;
        e.outcome = SerzOutcome();
        e.retried = false;
    }
}

void SerzPool::stop()
{
    stopExcept(-1);
}
