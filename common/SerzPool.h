#pragma once
// Converting many files with the serializer ahead of the code that reads them.
//
// A scan adds its conversions in the order it will read them and takes each result when it
// needs it. Meanwhile up to jobs() serializer processes run at once, each into a work folder of
// its own below TempFiles ("TempFiles\SerzSlot1", ...), so no two runs ever write the same
// file. Results are handed back by ticket, and tickets are numbered in the order the jobs were
// added, so a scan that takes them in that order sees exactly what it saw when it ran the
// serializer itself, one file at a time.
//
// With one job the pool converts nothing ahead: a job runs only when its result is asked for,
// which is the scans' one-at-a-time road.
//
// A hung serializer is waited for as long as RunSerz would wait. Stopping (the stop check
// returning true while the pool waits, or stop()) ends at once every process but the one of
// the result being waited for and throws away every result not taken yet; from then on a job
// runs only when its result is asked for. The pool's work folders are removed when it goes
// away.
//
// When the serializer runs through Wine, the pool starts the prefix's wineserver before its
// first run, persistent for a few seconds, so that the runs share one server instead of each
// starting its own; a server already running is left as it is, and none is ever ended here.
//
// A run through Wine that fails without an output is made once more before it counts as
// failed, as RunSerz does.
//
// Writes into the game never go through here: the pool only turns files into work copies.

#include "common/Serializer.h"

#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace platform {
class Process;
}

// One conversion.
struct SerzJob {
    SerzJob(QString in, QString output, QString copy = QString(), QString switchWith = serz::ToXml)
        : input(std::move(in)), outputName(std::move(output)), copyName(std::move(copy)),
          switchText(std::move(switchWith))
    {
    }

    QString input;      // the file to convert
    QString outputName; // the name of the output in the slot's folder ("x.xml")
    // When not empty the input is first copied into the slot's folder under this name and
    // the copy is converted.
    QString copyName;
    QString switchText = serz::ToXml;
};

// What became of a conversion.
struct SerzOutcome {
    bool copied = true;   // false when the input could not be copied (nothing was run)
    ConversionResult result; // RunSerz's verdict, with RunSerz's messages
    QString output;       // the output's path (in the slot's folder)
    QString copy;         // the copy's path, when the job asked for one
};

class SerzPool {
public:
    // The number of serializer processes to run at once: VELTRANE_SERZ_JOBS when it holds a
    // whole number from 1 up, else the number of the machine's cores.
    static int jobsFromEnvironment();

    // The slots' folders lie below workFolder (default: the program folder's TempFiles); the
    // serializer runs with currentFolder as its current folder (default: the program folder),
    // as RunSerz's callers give it.
    explicit SerzPool(int jobs = jobsFromEnvironment(), QString workFolder = QString(),
                      QString currentFolder = QString());
    ~SerzPool(); // ends what still runs and removes the slots' folders
    SerzPool(const SerzPool&) = delete;
    SerzPool& operator=(const SerzPool&) = delete;

    int jobs() const { return jobs_; }

    // Asked while the pool waits for a result; true stops the pool (see stop()), apart from
    // the result being waited for, which is still converted and handed back. Once stopped the
    // check is not asked again.
    void setStopCheck(std::function<bool()> check) { stopCheck_ = std::move(check); }

    // Queues a job; returns its ticket (0, 1, 2, ... in the order added).
    qsizetype add(SerzJob job);
    qsizetype count() const { return qsizetype(entries_.size()); }

    // Waits for the ticket's conversion, running the queue ahead meanwhile and processing
    // window events. The outcome's files stay until release() or the pool's end.
    const SerzOutcome& take(qsizetype ticket);
    // True when the ticket's conversion has ended, so that take() will not wait; starts
    // what may run ahead meanwhile, without waiting.
    bool ready(qsizetype ticket);
    // Removes the ticket's files and frees its slot.
    void release(qsizetype ticket);

    // Stops at once: every running process is ended and every result not taken yet is
    // thrown away (its files removed). Nothing runs ahead any more; a result asked for later
    // is converted then.
    void stop();
    bool stopped() const { return stopped_; }

    // Serializer processes started so far (for measurements and tests).
    qsizetype started() const { return started_; }
    // True when the serializer runs through Wine and the pool started a wineserver for the
    // prefix (WINEPREFIX), kept alive a few seconds past the last run. While another server
    // of the prefix runs (one that ends with its last client), the pool tries again at a
    // later run, at most once a second.
    bool wineServerStarted() const { return wineServerStarted_; }

private:
    enum class State { Queued, Running, Done, Released };
    struct Entry {
        explicit Entry(SerzJob j);
        ~Entry();
        Entry(Entry&&) noexcept;
        SerzJob job;
        State state = State::Queued;
        bool taken = false;
        int slot = -1;
        std::unique_ptr<platform::Process> process;
        QString commandLine;
        bool retried = false; // a failed Wine run has been made once more
        SerzOutcome outcome;
    };

    QString slotFolder(int slot) const;
    int takeSlot();
    void dispatch(qsizetype waited);
    void start(qsizetype ticket);
    bool launch(Entry& e);
    void finish(qsizetype ticket);
    void poll();
    void stopExcept(qsizetype keep);
    void discard(qsizetype ticket);
    void events();
    void keepWineServer(const QString& commandLine);

    int jobs_ = 1;
    QString workFolder_;
    QString currentFolder_;
    std::function<bool()> stopCheck_;
    std::deque<Entry> entries_;
    qsizetype nextToStart_ = 0;
    int running_ = 0;
    int held_ = 0; // finished, not released
    std::vector<int> freeSlots_;
    int slotsMade_ = 0;
    bool stopped_ = false;
    qsizetype started_ = 0;
    qint64 lastEventsMs_ = -1;
    bool noWineServer_ = false; // the serializer runs natively, or no wineserver is there
    bool wineServerStarted_ = false;
    qint64 lastWineServerTryMs_ = -1;
};
