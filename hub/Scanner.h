#pragma once
// Scanning through SANE, without a window: the list of scanning sources, the source chosen for
// the run, one scan into an image, and the viewer's acquisition into its bitmap work file.
//
// SANE is started on first use and ended when the application ends (or by ShutDownScanning,
// after which the next use starts it again and reads its configuration afresh).

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

namespace hub {

// A device as SANE lists it.
struct ScanSource {
    QString name;   // what sane_open takes, such as "test:0"
    QString vendor;
    QString model;
    QString type;
    // The line shown in the source list: the name, then vendor, model and type when known.
    QString label() const;
};

struct ScanSourceList {
    QList<ScanSource> sources;
    QString error;  // SANE could not be started; empty otherwise
};

// The devices SANE finds now (or what a search put by SetScanSourceSearch answers).
ScanSourceList ListScanSources();

// Replaces SANE's device search (tests put their own; an empty one brings SANE's back) and
// returns the search it replaces.
using ScanSourceSearch = std::function<ScanSourceList()>;
ScanSourceSearch SetScanSourceSearch(ScanSourceSearch search);

// ListScanSources on a thread of its own, which can take seconds while SANE looks for
// network scanners; this thread's events are processed until it ends, so the windows keep
// painting. The caller keeps its own commands off meanwhile.
ScanSourceList ListScanSourcesKeepingEventsFlowing();

// The source picked in the source list, kept until the program ends; empty means the first
// device SANE finds.
QString ChosenScanSource();
void SetChosenScanSource(const QString& name);

// ---- Frames into pictures ------------------------------------------------------------------

// The kinds of frame SANE delivers, in SANE's own numbering.
enum class ScanFrame { Gray = 0, Rgb = 1, Red = 2, Green = 3, Blue = 4 };

struct ScanFrameFormat {
    ScanFrame frame = ScanFrame::Gray;
    int depth = 8;          // bits per sample: 1, 8 or 16 (16-bit samples in the host's order)
    int bytesPerLine = 0;
    int pixelsPerLine = 0;
    int lines = -1;         // -1 when the device does not know beforehand
};

struct ScanFrameData {
    ScanFrameFormat format;
    QByteArray bytes;
};

// The largest width or height of a scanned picture.
constexpr int MaxScanSide = 65535;

// The picture the frames of one scan make (32-bit RGB): one gray or RGB frame, or one frame
// per colour. A 1-bit gray sample of 1 is black, a 1-bit colour sample of 1 full intensity;
// 16-bit samples keep their high byte. A line that the data does not hold in full is left
// out; with unknown lines, the data's whole lines are the picture. A null image and the
// reason in error when the frames cannot be read.
QImage ImageFromScanFrames(const std::vector<ScanFrameData>& frames, QString* error = nullptr);

// ---- Scanning ------------------------------------------------------------------------------

struct ScanOutcome {
    enum Status { Done, NoDevice, Cancelled, Failed };
    Status status = Failed;
    QImage image;   // the picture when Done
    QString error;  // what went wrong otherwise
};

// Opens the device (the first SANE finds when the name is empty, looked for as
// ListScanSourcesKeepingEventsFlowing does) and scans one picture with its current settings.
// keepGoing runs after that search and between reads (the caller processes window events
// there) and cancels the scan by returning false.
ScanOutcome ScanImage(const QString& deviceName, const std::function<bool()>& keepGoing);

// The viewer's "Acquire Image": deletes the work file, scans from the chosen source and writes
// the picture as the work file. On anything but Done the work file is missing.
ScanOutcome AcquireToWorkFile(const std::function<bool()>& keepGoing);

// Ends SANE when it was started.
void ShutDownScanning();

} // namespace hub
