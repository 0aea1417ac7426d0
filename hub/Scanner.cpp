#include "hub/Scanner.h"

#include "textures/ImageConvert.h"
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sane/sane.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace hub {

namespace {

bool& saneStarted()
{
    static bool started = false;
    return started;
}

QString& chosenSource()
{
    static QString name;
    return name;
}

QString statusText(SANE_Status status)
{
    return QString::fromLocal8Bit(sane_strstatus(status));
}

// sane_init on first use; sane_exit is arranged for when the application ends.
bool startSane(QString* error)
{
    if (saneStarted())
        return true;
    SANE_Int version = 0;
    const SANE_Status status = sane_init(&version, nullptr);
    if (status != SANE_STATUS_GOOD) {
        if (error)
            *error = statusText(status);
        return false;
    }
    saneStarted() = true;
    static bool exitArranged = false;
    if (!exitArranged) {
        exitArranged = true;
        if (QCoreApplication::instance())
            qAddPostRoutine(ShutDownScanning);
        else
            std::atexit(ShutDownScanning);
    }
    return true;
}

ScanOutcome outcome(ScanOutcome::Status status, const QString& error)
{
    ScanOutcome r;
    r.status = status;
    r.error = error;
    return r;
}

// An open device; cancelled (which also ends a finished scan) and closed when it goes.
class OpenDevice {
public:
    explicit OpenDevice(SANE_Handle handle) : handle_(handle) {}
    ~OpenDevice()
    {
        sane_cancel(handle_);
        sane_close(handle_);
    }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;
    SANE_Handle handle() const { return handle_; }

private:
    SANE_Handle handle_;
};

// The most bytes one frame may hold.
constexpr qint64 MaxScanBytes = qint64(1) << 30;

int samplesPerPixel(ScanFrame frame)
{
    return frame == ScanFrame::Rgb ? 3 : 1;
}

// Sample i of a line, scaled to 0..255 (a 1-bit sample of 1 gives 255).
inline int sampleAt(const uchar* line, qsizetype i, int depth)
{
    switch (depth) {
    case 8:
        return line[i];
    case 16: {
        quint16 v;
        std::memcpy(&v, line + 2 * i, 2);
        return v >> 8;
    }
    default:
        return ((line[i >> 3] >> (7 - (i & 7))) & 1) ? 255 : 0;
    }
}

bool checkFormat(const ScanFrameFormat& f, QString* why)
{
    if (f.depth != 1 && f.depth != 8 && f.depth != 16) {
        *why = QStringLiteral("%1 bits per sample are not supported").arg(f.depth);
        return false;
    }
    if (int(f.frame) < int(ScanFrame::Gray) || int(f.frame) > int(ScanFrame::Blue)) {
        *why = QStringLiteral("the frame kind %1 is not supported").arg(int(f.frame));
        return false;
    }
    if (f.pixelsPerLine <= 0 || f.pixelsPerLine > MaxScanSide || f.lines > MaxScanSide) {
        *why = QStringLiteral("the picture's size (%1 by %2) cannot be read").arg(f.pixelsPerLine).arg(f.lines);
        return false;
    }
    const qint64 needed = (qint64(f.pixelsPerLine) * samplesPerPixel(f.frame) * f.depth + 7) / 8;
    if (f.bytesPerLine < needed) {
        *why = QStringLiteral("a line of %1 bytes cannot hold %2 pixels").arg(f.bytesPerLine).arg(f.pixelsPerLine);
        return false;
    }
    return true;
}

} // namespace

QString ScanSource::label() const
{
    QStringList parts;
    for (const QString& p : {vendor, model, type})
        if (!p.isEmpty())
            parts << p;
    return parts.isEmpty() ? name : name + QStringLiteral(" - ") + parts.join(QLatin1Char(' '));
}

namespace {

ScanSourceSearch& sourceSearch()
{
    static ScanSourceSearch search;
    return search;
}

ScanSourceList saneSources()
{
    ScanSourceList r;
    if (!startSane(&r.error))
        return r;
    const SANE_Device** devices = nullptr;
    const SANE_Status status = sane_get_devices(&devices, SANE_FALSE);
    if (status != SANE_STATUS_GOOD) {
        r.error = statusText(status);
        return r;
    }
    for (int i = 0; devices && devices[i]; ++i) {
        const SANE_Device* d = devices[i];
        const auto text = [](const char* s) { return s ? QString::fromLocal8Bit(s) : QString(); };
        r.sources.append({text(d->name), text(d->vendor), text(d->model), text(d->type)});
    }
    return r;
}

} // namespace

ScanSourceList ListScanSources()
{
    const ScanSourceSearch& search = sourceSearch();
    return search ? search() : saneSources();
}

ScanSourceSearch SetScanSourceSearch(ScanSourceSearch search)
{
    return std::exchange(sourceSearch(), std::move(search));
}

ScanSourceList ListScanSourcesKeepingEventsFlowing()
{
    ScanSourceList r;
    // SANE starts here, where it is ended; only the device search goes to the other thread.
    if (!sourceSearch() && !startSane(&r.error))
        return r;
    if (!QCoreApplication::instance())
        return ListScanSources();
    std::unique_ptr<QThread> worker(QThread::create([&r] { r = ListScanSources(); }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    return r;
}

QString ChosenScanSource()
{
    return chosenSource();
}

void SetChosenScanSource(const QString& name)
{
    chosenSource() = name;
}

QImage ImageFromScanFrames(const std::vector<ScanFrameData>& frames, QString* error)
{
    QString why;
    const auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return QImage();
    };
    if (frames.empty())
        return fail(QStringLiteral("the scan delivered no picture"));
    const int width = frames.front().format.pixelsPerLine;
    int height = MaxScanSide;
    for (const ScanFrameData& f : frames) {
        if (!checkFormat(f.format, &why))
            return fail(why);
        if (f.format.pixelsPerLine != width)
            return fail(QStringLiteral("the frames of the scan differ in width"));
        const bool oneColour = f.format.frame != ScanFrame::Gray && f.format.frame != ScanFrame::Rgb;
        if (frames.size() > 1 && !oneColour)
            return fail(QStringLiteral("a scan of several frames must hold one colour in each"));
        const qint64 whole = f.bytes.size() / f.format.bytesPerLine;
        const qint64 lines = f.format.lines >= 0 ? std::min<qint64>(f.format.lines, whole) : whole;
        height = int(std::min<qint64>(height, lines));
    }
    if (height <= 0)
        return fail(QStringLiteral("the scan holds no complete line"));

    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return fail(QStringLiteral("there is not enough memory for a picture of %1 by %2").arg(width).arg(height));
    image.fill(qRgb(0, 0, 0));
    for (const ScanFrameData& f : frames) {
        const ScanFrameFormat& fmt = f.format;
        const auto* data = reinterpret_cast<const uchar*>(f.bytes.constData());
        for (int y = 0; y < height; ++y) {
            const uchar* line = data + qint64(y) * fmt.bytesPerLine;
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            switch (fmt.frame) {
            case ScanFrame::Gray:
                for (int x = 0; x < width; ++x) {
                    int v = sampleAt(line, x, fmt.depth);
                    if (fmt.depth == 1)
                        v = 255 - v; // line art: a set bit is black
                    out[x] = qRgb(v, v, v);
                }
                break;
            case ScanFrame::Rgb:
                for (int x = 0; x < width; ++x) {
                    const qsizetype i = qsizetype(x) * 3;
                    out[x] = qRgb(sampleAt(line, i, fmt.depth), sampleAt(line, i + 1, fmt.depth),
                                  sampleAt(line, i + 2, fmt.depth));
                }
                break;
            case ScanFrame::Red:
            case ScanFrame::Green:
            case ScanFrame::Blue: {
                const int shift = fmt.frame == ScanFrame::Red ? 16 : fmt.frame == ScanFrame::Green ? 8 : 0;
                for (int x = 0; x < width; ++x)
                    out[x] = (out[x] & ~(0xFFu << shift)) | (quint32(sampleAt(line, x, fmt.depth)) << shift);
                break;
            }
            }
        }
    }
    return image;
}

ScanOutcome ScanImage(const QString& deviceName, const std::function<bool()>& keepGoing)
{
    QString error;
    if (!startSane(&error))
        return outcome(ScanOutcome::Failed, QStringLiteral("SANE could not be started (") + error + QLatin1Char(')'));

    QString name = deviceName;
    if (name.isEmpty()) {
        // The search can take seconds: it runs beside the caller's thread, whose events go on.
        const ScanSourceList list = ListScanSourcesKeepingEventsFlowing();
        if (!list.error.isEmpty())
            return outcome(ScanOutcome::Failed, QStringLiteral("the scanners could not be listed (") + list.error + QLatin1Char(')'));
        if (list.sources.isEmpty())
            return outcome(ScanOutcome::NoDevice, QString());
        if (keepGoing && !keepGoing())
            return outcome(ScanOutcome::Cancelled, QString());
        name = list.sources.front().name;
    }

    SANE_Handle handle = nullptr;
    const QByteArray deviceBytes = name.toLocal8Bit();
    SANE_Status status = sane_open(deviceBytes.constData(), &handle);
    if (status != SANE_STATUS_GOOD)
        return outcome(ScanOutcome::Failed,
                       QStringLiteral("the scanner ") + name + QStringLiteral(" could not be opened (") + statusText(status) + QLatin1Char(')'));
    OpenDevice device(handle);

    const auto stopped = [&](SANE_Status s) {
        if (s == SANE_STATUS_CANCELLED)
            return outcome(ScanOutcome::Cancelled, QString());
        return outcome(ScanOutcome::Failed, QStringLiteral("the scanner ") + name + QStringLiteral(" reported: ") + statusText(s));
    };

    std::vector<ScanFrameData> frames;
    QByteArray buffer(64 * 1024, '\0');
    for (;;) {
        if (frames.size() == 3)
            return outcome(ScanOutcome::Failed, QStringLiteral("the scanner ") + name + QStringLiteral(" sent more frames than a picture has"));
        status = sane_start(device.handle());
        if (status != SANE_STATUS_GOOD)
            return stopped(status);
        SANE_Parameters p{};
        status = sane_get_parameters(device.handle(), &p);
        if (status != SANE_STATUS_GOOD)
            return stopped(status);
        ScanFrameData frame;
        frame.format = {ScanFrame(p.format), p.depth, p.bytes_per_line, p.pixels_per_line, p.lines};
        if (!checkFormat(frame.format, &error))
            return outcome(ScanOutcome::Failed, QStringLiteral("the picture of the scanner ") + name + QStringLiteral(" cannot be read: ") + error);
        // Never more than the largest picture's lines, so a device that sends without end
        // cannot fill the memory.
        const qint64 limit = std::min<qint64>(qint64(frame.format.bytesPerLine) * (p.lines >= 0 ? p.lines : MaxScanSide),
                                              MaxScanBytes);
        if (p.lines >= 0)
            frame.bytes.reserve(qsizetype(limit));
        for (;;) {
            if (keepGoing && !keepGoing())
                return outcome(ScanOutcome::Cancelled, QString());
            SANE_Int length = 0;
            status = sane_read(device.handle(), reinterpret_cast<SANE_Byte*>(buffer.data()), SANE_Int(buffer.size()), &length);
            if (status == SANE_STATUS_EOF)
                break;
            if (status != SANE_STATUS_GOOD)
                return stopped(status);
            const qint64 room = limit - frame.bytes.size();
            if (room > 0)
                frame.bytes.append(buffer.constData(), qsizetype(std::min<qint64>(room, length)));
        }
        frames.push_back(std::move(frame));
        if (p.last_frame)
            break;
    }

    ScanOutcome r;
    r.image = ImageFromScanFrames(frames, &error);
    if (r.image.isNull())
        return outcome(ScanOutcome::Failed, QStringLiteral("the picture of the scanner ") + name + QStringLiteral(" cannot be read: ") + error);
    r.status = ScanOutcome::Done;
    return r;
}

ScanOutcome AcquireToWorkFile(const std::function<bool()>& keepGoing)
{
    const QString work = platform::nativePath(textures::ViewerWorkFile());
    if (QFileInfo::exists(work))
        QFile::remove(work);
    platform::clearPathCache();
    ScanOutcome r = ScanImage(ChosenScanSource(), keepGoing);
    if (r.status == ScanOutcome::Done && !textures::WriteBitmap32(r.image, textures::ViewerWorkFile()))
        return outcome(ScanOutcome::Failed, QStringLiteral("the work file ") + textures::ViewerWorkFile() + QStringLiteral(" could not be written"));
    return r;
}

void ShutDownScanning()
{
    if (!saneStarted())
        return;
    sane_exit();
    saneStarted() = false;
}

} // namespace hub
