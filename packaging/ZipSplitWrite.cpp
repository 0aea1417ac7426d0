// Writing a split set: the single zip cut into pieces, each record whole in one piece.

#include "packaging/ZipSplit.h"

#include "packaging/ZipSplitFormat.h"
#include "platform/FileSync.h"
#include "platform/Paths.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace packaging {
using namespace zipsplit;
namespace {

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

} // namespace

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

} // namespace packaging
