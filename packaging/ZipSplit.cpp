#include "packaging/ZipSplit.h"

#include "platform/FileSync.h"
#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <vector>

// The zip layout this file works with, by record:
//   local header   30 bytes + name + extra, then the entry's data (and maybe a data descriptor)
//   central entry  46 bytes + name + extra + comment; its disk number (offset 34, 2 bytes) and
//                  local header offset (offset 42, 4 bytes) say where the entry starts
//   zip64 end      56 bytes, zip64 locator 20 bytes, end record 22 bytes + comment
// A value too large for its field is stored as all ones and given in full in the zip64 extra
// field (id 1) of the central entry, or in the zip64 end record.
//
// A split set is the same byte stream cut into pieces. The first piece starts with the split
// signature; disk numbers count pieces from 0, and offsets count from the start of their own
// piece (the signature included on the first). Headers and the end records never straddle two
// pieces; entry data may.

namespace packaging {
namespace {

constexpr quint32 kLocalSig = 0x04034b50;
constexpr quint32 kCentralSig = 0x02014b50;
constexpr quint32 kEndSig = 0x06054b50;
constexpr quint32 kZip64EndSig = 0x06064b50;
constexpr quint32 kZip64LocatorSig = 0x07064b50;
constexpr quint32 kSplitSig = 0x08074b50;
constexpr quint32 kOneSegmentSig = 0x30304b50; // a set that was begun as split but fits one piece

constexpr qsizetype kEndSize = 22;
constexpr qsizetype kZip64EndSize = 56;
constexpr qsizetype kLocatorSize = 20;
constexpr qsizetype kCentralSize = 46;
constexpr qsizetype kLocalSize = 30;
constexpr quint16 kZip64ExtraId = 1;
constexpr qint64 kCopyBlock = 4 << 20;

quint16 get16(const QByteArray& b, qsizetype at)
{
    return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8);
}

quint32 get32(const QByteArray& b, qsizetype at)
{
    return quint32(get16(b, at)) | quint32(get16(b, at + 2)) << 16;
}

quint64 get64(const QByteArray& b, qsizetype at)
{
    return quint64(get32(b, at)) | quint64(get32(b, at + 4)) << 32;
}

void put16(QByteArray& b, quint16 v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

void put32(QByteArray& b, quint32 v)
{
    put16(b, quint16(v & 0xFFFF));
    put16(b, quint16(v >> 16));
}

void put64(QByteArray& b, quint64 v)
{
    put32(b, quint32(v & 0xFFFFFFFFu));
    put32(b, quint32(v >> 32));
}

void set16(QByteArray& b, qsizetype at, quint16 v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

void set32(QByteArray& b, qsizetype at, quint32 v)
{
    set16(b, at, quint16(v & 0xFFFF));
    set16(b, at + 2, quint16(v >> 16));
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// What the end records of an archive say.
struct EndInfo {
    quint64 thisDisk = 0;
    quint64 cdDisk = 0;
    quint64 entries = 0;
    quint64 cdSize = 0;
    quint64 cdOffset = 0;
    quint64 diskCount = 1;
    QByteArray comment;
    qint64 endPos = 0; // where the end record starts in the last piece
    bool zip64 = false;
    quint64 zip64Disk = 0;
    quint64 zip64Offset = 0;
};

// Reads the end record (and the zip64 locator before it) from the end of a file. The zip64
// end record itself is read by the caller, who knows where its piece is.
bool readEndRecord(const QString& native, EndInfo* info, QString* error)
{
    QFile f(native);
    if (!f.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("%1 cannot be read: %2").arg(native, f.errorString()));
        return false;
    }
    const qint64 size = f.size();
    const qint64 tailSize = std::min<qint64>(size, kEndSize + 0xFFFF + kLocatorSize);
    if (!f.seek(size - tailSize)) {
        setError(error, QStringLiteral("%1 cannot be read: %2").arg(native, f.errorString()));
        return false;
    }
    const QByteArray tail = f.read(tailSize);
    if (tail.size() != tailSize) {
        setError(error, QStringLiteral("%1 cannot be read: %2").arg(native, f.errorString()));
        return false;
    }
    // The record whose comment ends the file; failing that, the last one whose comment fits.
    qsizetype at = -1;
    for (int pass = 0; pass < 2 && at < 0; ++pass) {
        for (qsizetype i = tail.size() - kEndSize; i >= 0; --i) {
            if (get32(tail, i) != kEndSig)
                continue;
            const qsizetype end = i + kEndSize + get16(tail, i + 20);
            if (pass == 0 ? end == tail.size() : end <= tail.size()) {
                at = i;
                break;
            }
        }
    }
    if (at < 0) {
        setError(error, QStringLiteral("%1 is not a zip archive (it has no end of central directory record)").arg(native));
        return false;
    }
    info->thisDisk = get16(tail, at + 4);
    info->cdDisk = get16(tail, at + 6);
    info->entries = get16(tail, at + 10);
    info->cdSize = get32(tail, at + 12);
    info->cdOffset = get32(tail, at + 16);
    info->comment = tail.mid(at + kEndSize, get16(tail, at + 20));
    info->endPos = size - tailSize + at;
    info->diskCount = info->thisDisk + 1;
    info->zip64 = at >= kLocatorSize && get32(tail, at - kLocatorSize) == kZip64LocatorSig;
    if (info->zip64) {
        info->zip64Disk = get32(tail, at - 16);
        info->zip64Offset = get64(tail, at - 12);
        info->diskCount = std::max<quint64>(1, get32(tail, at - 4));
    }
    return true;
}

// Takes the values of a zip64 end record over the end record's.
bool applyZip64End(const QByteArray& rec, EndInfo* info, const QString& native, QString* error)
{
    if (rec.size() < kZip64EndSize || get32(rec, 0) != kZip64EndSig) {
        setError(error, QStringLiteral("%1 is damaged: its zip64 end record is missing").arg(native));
        return false;
    }
    info->thisDisk = get32(rec, 16);
    info->cdDisk = get32(rec, 20);
    info->entries = get64(rec, 32);
    info->cdSize = get64(rec, 40);
    info->cdOffset = get64(rec, 48);
    return true;
}

// One central directory entry, kept as its raw bytes, with where its local header is.
struct CentralEntry {
    QByteArray raw;
    quint64 disk = 0;
    quint64 offset = 0;
};

// The parts of a central entry's extra field: everything but the zip64 record, and the
// zip64 record's values.
struct ExtraParts {
    QByteArray others;
    quint64 uncompressed = 0;
    quint64 compressed = 0;
};

bool parseCentralEntry(const QByteArray& cd, qsizetype at, CentralEntry* entry, ExtraParts* extra, qsizetype* length)
{
    if (cd.size() - at < kCentralSize || get32(cd, at) != kCentralSig)
        return false;
    const qsizetype n = get16(cd, at + 28);
    const qsizetype m = get16(cd, at + 30);
    const qsizetype k = get16(cd, at + 32);
    const qsizetype total = kCentralSize + n + m + k;
    if (cd.size() - at < total)
        return false;
    entry->raw = cd.mid(at, total);
    *length = total;

    const QByteArray& r = entry->raw;
    quint64 uncompressed = get32(r, 24);
    quint64 compressed = get32(r, 20);
    quint64 offset = get32(r, 42);
    quint64 disk = get16(r, 34);
    extra->others.clear();
    qsizetype p = kCentralSize + n;
    const qsizetype end = p + m;
    while (p < end) {
        if (end - p < 4)
            return false;
        const quint16 id = get16(r, p);
        const qsizetype size = get16(r, p + 2);
        if (end - p - 4 < size)
            return false;
        if (id == kZip64ExtraId) {
            qsizetype q = p + 4;
            const qsizetype qEnd = q + size;
            auto take64 = [&](quint64& v) {
                if (qEnd - q < 8)
                    return false;
                v = get64(r, q);
                q += 8;
                return true;
            };
            if (uncompressed == 0xFFFFFFFFu && !take64(uncompressed))
                return false;
            if (compressed == 0xFFFFFFFFu && !take64(compressed))
                return false;
            if (offset == 0xFFFFFFFFu && !take64(offset))
                return false;
            if (disk == 0xFFFF) {
                if (qEnd - q < 4)
                    return false;
                disk = get32(r, q);
            }
        } else {
            extra->others.append(r.mid(p, 4 + size));
        }
        p += 4 + size;
    }
    extra->uncompressed = uncompressed;
    extra->compressed = compressed;
    entry->disk = disk;
    entry->offset = offset;
    return true;
}

// The entry with a new disk number and local header offset; the zip64 extra record is rebuilt
// to hold whatever no longer fits its field. Empty when the extra field would grow too long.
QByteArray rewriteCentralEntry(const CentralEntry& entry, const ExtraParts& extra, quint64 disk, quint64 offset)
{
    const QByteArray& r = entry.raw;
    const qsizetype n = get16(r, 28);
    const qsizetype m = get16(r, 30);
    QByteArray head = r.left(kCentralSize);
    QByteArray zip64;
    if (get32(r, 24) == 0xFFFFFFFFu)
        put64(zip64, extra.uncompressed);
    if (get32(r, 20) == 0xFFFFFFFFu)
        put64(zip64, extra.compressed);
    if (offset >= 0xFFFFFFFFu) {
        put64(zip64, offset);
        set32(head, 42, 0xFFFFFFFFu);
    } else {
        set32(head, 42, quint32(offset));
    }
    if (disk >= 0xFFFF) {
        put32(zip64, quint32(disk));
        set16(head, 34, 0xFFFF);
    } else {
        set16(head, 34, quint16(disk));
    }
    QByteArray newExtra = extra.others;
    if (!zip64.isEmpty()) {
        put16(newExtra, kZip64ExtraId);
        put16(newExtra, quint16(zip64.size()));
        newExtra.append(zip64);
        if (get16(head, 6) < 45)
            set16(head, 6, 45);
    }
    if (newExtra.size() > 0xFFFF)
        return {};
    set16(head, 30, quint16(newExtra.size()));
    return head + r.mid(kCentralSize, n) + newExtra + r.mid(kCentralSize + n + m);
}

// The end records for a central directory: a zip64 end record and locator (when a value does
// not fit the plain record) and the end record. endOffset is where the block starts on its
// piece (the locator points there).
QByteArray endBlock(quint64 thisDisk, quint64 cdDisk, quint64 entriesHere, quint64 entries, quint64 cdSize,
                    quint64 cdOffset, quint64 endOffset, const QByteArray& comment)
{
    const bool zip64 = thisDisk >= 0xFFFF || cdDisk >= 0xFFFF || entriesHere >= 0xFFFF || entries >= 0xFFFF
        || cdSize >= 0xFFFFFFFFu || cdOffset >= 0xFFFFFFFFu;
    QByteArray b;
    if (zip64) {
        put32(b, kZip64EndSig);
        put64(b, kZip64EndSize - 12);
        put16(b, 45);
        put16(b, 45);
        put32(b, quint32(thisDisk));
        put32(b, quint32(cdDisk));
        put64(b, entriesHere);
        put64(b, entries);
        put64(b, cdSize);
        put64(b, cdOffset);
        put32(b, kZip64LocatorSig);
        put32(b, quint32(thisDisk));
        put64(b, endOffset);
        put32(b, quint32(thisDisk + 1));
    }
    put32(b, kEndSig);
    put16(b, quint16(std::min<quint64>(thisDisk, 0xFFFF)));
    put16(b, quint16(std::min<quint64>(cdDisk, 0xFFFF)));
    put16(b, quint16(std::min<quint64>(entriesHere, 0xFFFF)));
    put16(b, quint16(std::min<quint64>(entries, 0xFFFF)));
    put32(b, quint32(std::min<quint64>(cdSize, 0xFFFFFFFFu)));
    put32(b, quint32(std::min<quint64>(cdOffset, 0xFFFFFFFFu)));
    put16(b, quint16(comment.size()));
    b.append(comment);
    return b;
}

// Files read one after another as one stream; each piece may skip leading bytes.
class PieceStream {
public:
    struct Piece {
        QString path;
        qint64 skip = 0;
        qint64 size = 0;  // bytes after the skipped ones
        qint64 start = 0; // position of the piece's first byte in the stream
    };

    void add(const QString& path, qint64 fileSize, qint64 skip)
    {
        Piece p;
        p.path = path;
        p.skip = skip;
        p.size = fileSize - skip;
        p.start = total;
        total += p.size;
        pieces.append(p);
    }

    qint64 size() const { return total; }
    qsizetype count() const { return pieces.size(); }

    // The stream position of an offset within a piece (offsets count the skipped bytes);
    // -1 when it lies outside the piece.
    qint64 position(quint64 disk, quint64 offset) const
    {
        if (disk >= quint64(pieces.size()))
            return -1;
        const Piece& p = pieces[qsizetype(disk)];
        if (offset < quint64(p.skip) || offset - quint64(p.skip) > quint64(p.size))
            return -1;
        return p.start + qint64(offset) - p.skip;
    }

    bool read(qint64 pos, char* out, qint64 length, QString* error)
    {
        if (pos < 0 || length < 0 || pos > total || total - pos < length) {
            setError(error, QStringLiteral("read past the end of the archive"));
            return false;
        }
        while (length > 0) {
            const auto it = std::upper_bound(pieces.cbegin(), pieces.cend(), pos,
                                             [](qint64 v, const Piece& p) { return v < p.start; });
            const qsizetype index = qsizetype(it - pieces.cbegin()) - 1;
            const Piece& p = pieces[index];
            if (openIndex != index) {
                file.close();
                file.setFileName(p.path);
                if (!file.open(QIODevice::ReadOnly)) {
                    openIndex = -1;
                    setError(error, QStringLiteral("%1 cannot be read: %2").arg(p.path, file.errorString()));
                    return false;
                }
                openIndex = index;
            }
            const qint64 n = std::min(length, p.start + p.size - pos);
            if (n <= 0) {
                setError(error, QStringLiteral("read past the end of the archive"));
                return false;
            }
            if (!file.seek(p.skip + pos - p.start) || file.read(out, n) != n) {
                setError(error, QStringLiteral("%1 cannot be read: %2").arg(p.path, file.errorString()));
                return false;
            }
            out += n;
            pos += n;
            length -= n;
        }
        return true;
    }

    bool read(qint64 pos, qint64 length, QByteArray* out, QString* error)
    {
        if (length < 0 || length > total) {
            setError(error, QStringLiteral("read past the end of the archive"));
            return false;
        }
        out->resize(length);
        return read(pos, out->data(), length, error);
    }

private:
    QList<Piece> pieces;
    qint64 total = 0;
    QFile file;
    qsizetype openIndex = -1;
};

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

bool readCentralDirectory(PieceStream& stream, const EndInfo& end, const QString& native, qint64* cdStart,
                          std::vector<CentralEntry>* entries, std::vector<ExtraParts>* extras, QString* error)
{
    const QString damaged = QStringLiteral("%1 is damaged: its central directory cannot be read").arg(native);
    *cdStart = stream.position(end.cdDisk, end.cdOffset);
    if (*cdStart < 0 || end.cdSize > quint64(stream.size() - *cdStart)) {
        setError(error, damaged);
        return false;
    }
    QByteArray cd;
    if (!stream.read(*cdStart, qint64(end.cdSize), &cd, error))
        return false;
    qsizetype at = 0;
    while (at < cd.size()) {
        CentralEntry entry;
        ExtraParts extra;
        qsizetype length = 0;
        if (!parseCentralEntry(cd, at, &entry, &extra, &length)) {
            setError(error, damaged);
            return false;
        }
        entries->push_back(std::move(entry));
        extras->push_back(std::move(extra));
        at += length;
    }
    if (entries->size() != end.entries) {
        setError(error, damaged);
        return false;
    }
    return true;
}

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

// ---- cutting ----

struct Placement {
    quint64 disk = 0;
    quint64 offset = 0;
};

// Lays a byte stream out over pieces of at most partSize bytes: records go whole into one
// piece (starting a new piece when the current one cannot hold them), data fills each piece
// up. Without output files it only counts, so that a first pass tells how many pieces the
// set will have and so which piece takes the archive's own name.
class Cutter {
public:
    Cutter(QFile* in, qint64 partSize, QStringList names, QString* error)
        : in(in), partSize(partSize), names(std::move(names)), error(error)
    {
    }

    bool begin() { return openPiece(); }

    bool record(const QByteArray& bytes, Placement* at = nullptr)
    {
        if (bytes.size() > partSize) {
            setError(error, QStringLiteral("A part of %1 bytes cannot hold a zip header of %2 bytes")
                                .arg(partSize)
                                .arg(bytes.size()));
            return false;
        }
        if (used > 0 && partSize - used < bytes.size() && !nextPiece())
            return false;
        if (at)
            *at = {quint64(piece), quint64(used)};
        return write(bytes.constData(), bytes.size());
    }

    bool data(qint64 from, qint64 length)
    {
        while (length > 0) {
            if (used == partSize && !nextPiece())
                return false;
            const qint64 n = std::min({length, partSize - used, kCopyBlock});
            if (out) {
                buffer.resize(size_t(n));
                if (!in->seek(from) || in->read(buffer.data(), n) != n) {
                    setError(error, QStringLiteral("%1 cannot be read: %2").arg(in->fileName(), in->errorString()));
                    return false;
                }
            }
            if (!write(buffer.data(), n))
                return false;
            from += n;
            length -= n;
        }
        return true;
    }

    bool finish() { return closePiece(); }

    // Removes the pieces this run has written (after a failure).
    void removeWritten()
    {
        out.reset();
        for (const QString& name : written)
            QFile::remove(name);
    }

    qint64 currentPiece() const { return piece; }
    qint64 usedInPiece() const { return used; }
    qint64 spaceLeft() const { return partSize - used; }
    bool startNewPiece() { return nextPiece(); }

private:
    bool openPiece()
    {
        used = 0;
        if (names.isEmpty())
            return true;
        if (piece >= names.size()) {
            setError(error, QStringLiteral("The parts came out differently on writing"));
            return false;
        }
        out = std::make_unique<QSaveFile>(names[qsizetype(piece)]);
        if (!out->open(QIODevice::WriteOnly)) {
            setError(error, QStringLiteral("%1 cannot be written: %2").arg(out->fileName(), out->errorString()));
            return false;
        }
        return true;
    }

    bool closePiece()
    {
        if (!out)
            return true;
        const QString name = out->fileName();
        const bool ok = platform::commitWhole(*out);
        if (!ok)
            setError(error, QStringLiteral("%1 cannot be written: %2").arg(name, out->errorString()));
        else
            written.append(name);
        out.reset();
        return ok;
    }

    bool nextPiece()
    {
        if (!closePiece())
            return false;
        ++piece;
        return openPiece();
    }

    bool write(const char* p, qint64 n)
    {
        if (out && out->write(p, n) != n) {
            setError(error, QStringLiteral("%1 cannot be written: %2").arg(out->fileName(), out->errorString()));
            return false;
        }
        used += n;
        return true;
    }

    QFile* in;
    qint64 partSize;
    QStringList names;
    QString* error;
    std::unique_ptr<QSaveFile> out;
    std::vector<char> buffer;
    qint64 piece = 0;
    qint64 used = 0;
    QStringList written;
};

// What the cut needs to know of the single zip.
struct SingleZip {
    QFile file;
    EndInfo end;
    qint64 cdStart = 0;
    std::vector<CentralEntry> entries;
    std::vector<ExtraParts> extras;
    std::map<quint64, QByteArray> localHeaders; // by offset
};

bool readSingleZip(const QString& native, SingleZip* zip, QString* error)
{
    if (!readEndRecord(native, &zip->end, error))
        return false;
    if (zip->end.diskCount > 1 || zip->end.thisDisk != 0) {
        setError(error, QStringLiteral("%1 is already split into parts").arg(native));
        return false;
    }
    zip->file.setFileName(native);
    if (!zip->file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("%1 cannot be read: %2").arg(native, zip->file.errorString()));
        return false;
    }
    PieceStream stream;
    stream.add(native, zip->file.size(), 0);
    if (zip->end.zip64) {
        QByteArray rec;
        const qint64 at = stream.position(zip->end.zip64Disk, zip->end.zip64Offset);
        if (at < 0 || stream.size() - at < kZip64EndSize) {
            setError(error, QStringLiteral("%1 is damaged: its zip64 end record is missing").arg(native));
            return false;
        }
        if (!stream.read(at, kZip64EndSize, &rec, error) || !applyZip64End(rec, &zip->end, native, error))
            return false;
    }
    if (!readCentralDirectory(stream, zip->end, native, &zip->cdStart, &zip->entries, &zip->extras, error))
        return false;
    for (const CentralEntry& e : zip->entries) {
        if (e.disk != 0 || zip->localHeaders.count(e.offset))
            continue;
        QByteArray head;
        const QString damaged = QStringLiteral("%1 is damaged: a local header is missing").arg(native);
        if (e.offset > quint64(zip->cdStart) || zip->cdStart - qint64(e.offset) < kLocalSize
            || !stream.read(qint64(e.offset), kLocalSize, &head, nullptr) || get32(head, 0) != kLocalSig) {
            setError(error, damaged);
            return false;
        }
        const qint64 length = kLocalSize + get16(head, 26) + get16(head, 28);
        if (zip->cdStart - qint64(e.offset) < length || !stream.read(qint64(e.offset), length, &head, nullptr)) {
            setError(error, damaged);
            return false;
        }
        zip->localHeaders.emplace(e.offset, head);
    }
    for (const CentralEntry& e : zip->entries) {
        if (e.disk != 0) {
            setError(error, QStringLiteral("%1 is damaged: an entry names another part").arg(native));
            return false;
        }
    }
    // Headers may not overlap one another.
    quint64 next = 0;
    for (const auto& [offset, head] : zip->localHeaders) {
        if (offset < next) {
            setError(error, QStringLiteral("%1 is damaged: its local headers overlap").arg(native));
            return false;
        }
        next = offset + quint64(head.size());
    }
    return true;
}

// One pass of the cut: the split signature, each local header whole with the data between,
// the rewritten central directory, the end records. names empty: count only.
bool cut(SingleZip& zip, qint64 partSize, const QStringList& names, qint64* pieceCount, QString* error)
{
    Cutter cutter(&zip.file, partSize, names, error);
    QByteArray signature;
    put32(signature, kSplitSig);
    if (!cutter.begin() || !cutter.record(signature))
        return false;

    std::map<quint64, Placement> placed;
    qint64 pos = 0;
    for (const auto& [offset, head] : zip.localHeaders) {
        Placement at;
        if (!cutter.data(pos, qint64(offset) - pos) || !cutter.record(head, &at)) {
            cutter.removeWritten();
            return false;
        }
        placed[offset] = at;
        pos = qint64(offset) + head.size();
    }
    if (!cutter.data(pos, zip.cdStart - pos)) {
        cutter.removeWritten();
        return false;
    }

    Placement cdAt{quint64(cutter.currentPiece()), quint64(cutter.usedInPiece())};
    quint64 cdSize = 0;
    std::vector<quint64> entryDisks;
    for (size_t i = 0; i < zip.entries.size(); ++i) {
        const Placement local = placed[zip.entries[i].offset];
        const QByteArray rec = rewriteCentralEntry(zip.entries[i], zip.extras[i], local.disk, local.offset);
        Placement at;
        if (rec.isEmpty()) {
            setError(error, QStringLiteral("An entry's extra field grows too long for the parts"));
            cutter.removeWritten();
            return false;
        }
        if (!cutter.record(rec, &at)) {
            cutter.removeWritten();
            return false;
        }
        if (i == 0)
            cdAt = at;
        entryDisks.push_back(at.disk);
        cdSize += quint64(rec.size());
    }

    auto block = [&] {
        const quint64 disk = quint64(cutter.currentPiece());
        const quint64 here = quint64(std::count(entryDisks.begin(), entryDisks.end(), disk));
        return endBlock(disk, cdAt.disk, here, zip.entries.size(), cdSize, cdAt.offset,
                        quint64(cutter.usedInPiece()), zip.end.comment);
    };
    QByteArray end = block();
    if (cutter.usedInPiece() > 0 && cutter.spaceLeft() < end.size()) {
        if (!cutter.startNewPiece()) {
            cutter.removeWritten();
            return false;
        }
        end = block();
    }
    if (!cutter.record(end) || !cutter.finish()) {
        cutter.removeWritten();
        return false;
    }
    *pieceCount = cutter.currentPiece() + 1;
    return true;
}

bool copyWhole(QFile& in, const QString& outPath, QString* error)
{
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("%1 cannot be written: %2").arg(outPath, out.errorString()));
        return false;
    }
    std::vector<char> buffer(static_cast<size_t>(kCopyBlock));
    if (!in.seek(0)) {
        setError(error, QStringLiteral("%1 cannot be read: %2").arg(in.fileName(), in.errorString()));
        return false;
    }
    for (;;) {
        const qint64 n = in.read(buffer.data(), kCopyBlock);
        if (n < 0) {
            setError(error, QStringLiteral("%1 cannot be read: %2").arg(in.fileName(), in.errorString()));
            return false;
        }
        if (n == 0)
            break;
        if (out.write(buffer.data(), n) != n) {
            setError(error, QStringLiteral("%1 cannot be written: %2").arg(outPath, out.errorString()));
            return false;
        }
    }
    if (!platform::commitWhole(out)) {
        setError(error, QStringLiteral("%1 cannot be written: %2").arg(outPath, out.errorString()));
        return false;
    }
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

bool writeSplitSet(const QString& singleZip, const QString& archivePath, qint64 partSize, QString* error)
{
    if (partSize <= 0) {
        setError(error, QStringLiteral("The part size must be at least 1 byte"));
        return false;
    }
    if (!HasPartBase(archivePath)) {
        setError(error, QStringLiteral("The parts of %1 cannot be named: its name is too short").arg(archivePath));
        return false;
    }
    const QString source = platform::nativePath(singleZip);
    const QString target = platform::nativePath(archivePath);
    SingleZip zip;
    if (!readSingleZip(source, &zip, error))
        return false;
    // The set is cut from the central directory as read here; a zip whose records contradict
    // each other (several end records, say) reads otherwise in other tools, and its set would
    // not hold the entries they show. Such a zip is refused before anything is written.
    if (zipEntryCount(source) != qint64(zip.entries.size())) {
        setError(error, QStringLiteral("%1 cannot be cut into parts: its records contradict each other").arg(singleZip));
        return false;
    }
    // A zip that fits one part is the whole set, as it is.
    if (zip.file.size() <= partSize) {
        if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
            return true;
        return copyWhole(zip.file, target, error);
    }
    qint64 count = 0;
    if (!cut(zip, partSize, {}, &count, error))
        return false;
    QStringList names;
    for (qint64 k = 1; k < count; ++k)
        names.append(platform::nativePath(SplitPartName(archivePath, k)));
    names.append(target);
    qint64 written = 0;
    if (!cut(zip, partSize, names, &written, error))
        return false;
    return true;
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
