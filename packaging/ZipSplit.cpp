// Reading a split set back: the pieces as one single-disk zip, for libzip or as a joined copy.
// Writing the pieces is in ZipSplitWrite.cpp, the records both share in ZipSplitFormat.h.

#include "packaging/ZipSplit.h"

#include "packaging/ZipSplitFormat.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

namespace packaging {
using namespace zipsplit;
namespace {

// One archive as a single-disk zip: the pieces' bytes up to the central directory, then the
// central directory and end records rewritten with absolute offsets on disk 0.
struct SingleView {
    PieceStream stream;
    qint64 dataEnd = 0;
    QByteArray tail;

    qint64 size() const { return dataEnd + tail.size(); }

    bool read(qint64 pos, char* out, qint64 length, QString* error)
    {
        if (pos < 0 || length < 0 || pos > size() || size() - pos < length) {
            setError(error, QStringLiteral("read past the end of the archive"));
            return false;
        }
        if (pos < dataEnd) {
            const qint64 n = std::min(length, dataEnd - pos);
            if (!stream.read(pos, out, n, error))
                return false;
            out += n;
            pos += n;
            length -= n;
        }
        if (length > 0)
            std::copy_n(tail.constData() + (pos - dataEnd), length, out);
        return true;
    }
};

// Builds the single-disk view of the archive at archivePath (a split set's last piece or a
// plain zip).
bool buildView(const QString& archivePath, SingleView* view, QString* error)
{
    const QString last = platform::nativePath(archivePath);
    if (!QFileInfo(last).isFile()) {
        setError(error, QStringLiteral("%1 does not exist").arg(last));
        return false;
    }
    EndInfo end;
    if (!readEndRecord(last, &end, error))
        return false;
    const qint64 lastSize = QFileInfo(last).size();
    if (end.diskCount <= 1) {
        view->stream.add(last, lastSize, 0);
        view->dataEnd = lastSize;
        return true;
    }
    if (!HasPartBase(archivePath)) {
        setError(error, QStringLiteral("The parts of %1 cannot be named: its name is too short").arg(last));
        return false;
    }
    // Pieces beyond the end record's count are not part of the set.
    for (quint64 k = 1; k < end.diskCount; ++k) {
        QString piece = platform::nativePath(SplitPartName(archivePath, qint64(k)));
        if (!QFileInfo(piece).isFile())
            piece = platform::nativePath(RenamedPartName(archivePath, qint64(k)));
        const QFileInfo fi(piece);
        if (!fi.isFile()) {
            setError(error, QStringLiteral("The part %1 of %2 is missing").arg(SplitPartName(archivePath, qint64(k)), last));
            return false;
        }
        qint64 skip = 0;
        if (k == 1) {
            QFile f(piece);
            if (!f.open(QIODevice::ReadOnly)) {
                setError(error, QStringLiteral("%1 cannot be read: %2").arg(piece, f.errorString()));
                return false;
            }
            const QByteArray head = f.read(4);
            if (head.size() == 4 && (get32(head, 0) == kSplitSig || get32(head, 0) == kOneSegmentSig))
                skip = 4;
        }
        view->stream.add(piece, fi.size(), skip);
    }
    view->stream.add(last, lastSize, 0);
    if (view->stream.count() != qsizetype(end.diskCount) || end.thisDisk + 1 != end.diskCount) {
        setError(error, QStringLiteral("%1 is damaged: its end record names the wrong part").arg(last));
        return false;
    }
    if (end.zip64) {
        QByteArray rec;
        const qint64 at = view->stream.position(end.zip64Disk, end.zip64Offset);
        if (at < 0 || view->stream.size() - at < kZip64EndSize) {
            setError(error, QStringLiteral("%1 is damaged: its zip64 end record is missing").arg(last));
            return false;
        }
        if (!view->stream.read(at, kZip64EndSize, &rec, error) || !applyZip64End(rec, &end, last, error))
            return false;
    }

    qint64 cdStart = 0;
    std::vector<CentralEntry> entries;
    std::vector<ExtraParts> extras;
    if (!readCentralDirectory(view->stream, end, last, &cdStart, &entries, &extras, error))
        return false;
    QByteArray cd;
    for (size_t i = 0; i < entries.size(); ++i) {
        const qint64 pos = view->stream.position(entries[i].disk, entries[i].offset);
        const QByteArray rewritten = pos < 0 ? QByteArray() : rewriteCentralEntry(entries[i], extras[i], 0, quint64(pos));
        if (rewritten.isEmpty()) {
            setError(error, QStringLiteral("%1 is damaged: an entry lies outside its part").arg(last));
            return false;
        }
        cd += rewritten;
    }
    view->dataEnd = cdStart;
    view->tail = cd
        + endBlock(0, 0, entries.size(), entries.size(), quint64(cd.size()), quint64(cdStart),
                   quint64(cdStart + cd.size()), end.comment);
    return true;
}

// The libzip source over a single view.
struct ViewSource {
    SingleView view;
    qint64 pos = 0;
    zip_error_t error;
};

zip_int64_t viewSourceCallback(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* s = static_cast<ViewSource*>(userdata);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        s->pos = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const qint64 n = qint64(std::min<zip_uint64_t>(length, zip_uint64_t(s->view.size() - s->pos)));
        if (n > 0 && !s->view.read(s->pos, static_cast<char*>(data), n, nullptr)) {
            zip_error_set(&s->error, ZIP_ER_READ, EIO);
            return -1;
        }
        s->pos += n;
        return n;
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        if (length < sizeof(*st)) {
            zip_error_set(&s->error, ZIP_ER_INVAL, 0);
            return -1;
        }
        zip_stat_init(st);
        st->size = zip_uint64_t(s->view.size());
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&s->error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&s->error);
        delete s;
        return 0;
    case ZIP_SOURCE_SEEK: {
        const zip_int64_t pos = zip_source_seek_compute_offset(zip_uint64_t(s->pos), zip_uint64_t(s->view.size()),
                                                               data, length, &s->error);
        if (pos < 0)
            return -1;
        s->pos = pos;
        return 0;
    }
    case ZIP_SOURCE_TELL:
        return s->pos;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                                              ZIP_SOURCE_SUPPORTS, -1);
    default:
        zip_error_set(&s->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

QString libzipText(zip_error_t* error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

} // namespace

qint64 zipEntryCount(const QString& nativeZip)
{
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(nativeZip).constData(), ZIP_RDONLY, &code);
    if (!za)
        return -1;
    const zip_int64_t count = zip_get_num_entries(za, 0);
    zip_discard(za);
    return count;
}

QString ZipArchiveName(const QString& chosen)
{
    return chosen.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive) ? chosen : chosen + QStringLiteral(".zip");
}

QString SplitPartName(const QString& archivePath, qint64 k)
{
    return archivePath.left(archivePath.size() - 3) + QLatin1Char('z')
        + QString::number(k).rightJustified(2, QLatin1Char('0'));
}

QString RenamedPartName(const QString& archivePath, qint64 k)
{
    return archivePath.left(archivePath.size() - 3) + QString::number(k - 1).rightJustified(3, QLatin1Char('0'));
}

bool HasPartBase(const QString& archivePath)
{
    return QFileInfo(archivePath).fileName().size() > 3;
}

bool isSplitSet(const QString& archivePath)
{
    EndInfo end;
    return readEndRecord(platform::nativePath(archivePath), &end, nullptr) && end.diskCount > 1;
}

zip_t* openSplitSet(const QString& archivePath, QString* error)
{
    const QString native = platform::nativePath(archivePath);
    EndInfo end;
    if (!readEndRecord(native, &end, error))
        return nullptr;
    if (end.diskCount <= 1) {
        int code = 0;
        zip_t* za = zip_open(QFile::encodeName(native).constData(), ZIP_RDONLY, &code);
        if (!za) {
            zip_error_t ze;
            zip_error_init_with_code(&ze, code);
            setError(error, libzipText(&ze));
            zip_error_fini(&ze);
        }
        return za;
    }
    auto source = std::make_unique<ViewSource>();
    zip_error_init(&source->error);
    if (!buildView(archivePath, &source->view, error)) {
        zip_error_fini(&source->error);
        return nullptr;
    }
    zip_error_t ze;
    zip_error_init(&ze);
    ViewSource* raw = source.get();
    zip_source_t* src = zip_source_function_create(viewSourceCallback, raw, &ze);
    if (!src) {
        setError(error, libzipText(&ze));
        zip_error_fini(&ze);
        zip_error_fini(&raw->error);
        return nullptr;
    }
    source.release(); // the source frees it
    zip_t* za = zip_open_from_source(src, ZIP_RDONLY, &ze);
    if (!za) {
        setError(error, libzipText(&ze));
        zip_source_free(src);
    }
    zip_error_fini(&ze);
    return za;
}

bool joinSplitSet(const QString& archivePath, const QString& singleZipOut, QString* error)
{
    SingleView view;
    if (!buildView(archivePath, &view, error))
        return false;
    const QString outPath = platform::nativePath(singleZipOut);
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("%1 cannot be written: %2").arg(outPath, out.errorString()));
        return false;
    }
    std::vector<char> buffer(size_t(std::min<qint64>(kCopyBlock, std::max<qint64>(view.size(), 1))));
    for (qint64 pos = 0; pos < view.size();) {
        const qint64 n = std::min<qint64>(qint64(buffer.size()), view.size() - pos);
        if (!view.read(pos, buffer.data(), n, error))
            return false;
        if (out.write(buffer.data(), n) != n) {
            setError(error, QStringLiteral("%1 cannot be written: %2").arg(outPath, out.errorString()));
            return false;
        }
        pos += n;
    }
    if (!platform::commitWhole(out)) {
        setError(error, QStringLiteral("%1 cannot be written: %2").arg(outPath, out.errorString()));
        return false;
    }
    return true;
}

} // namespace packaging
