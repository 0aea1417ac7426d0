#pragma once
// What writing a split set and reading it back share: the zip records and their fields, and
// the pieces read as one stream. Only the split-zip files include this.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <algorithm>
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

namespace packaging::zipsplit {

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

quint16 get16(const QByteArray& b, qsizetype at);
quint32 get32(const QByteArray& b, qsizetype at);
quint64 get64(const QByteArray& b, qsizetype at);
void put16(QByteArray& b, quint16 v);
void put32(QByteArray& b, quint32 v);
void put64(QByteArray& b, quint64 v);
void set16(QByteArray& b, qsizetype at, quint16 v);
void set32(QByteArray& b, qsizetype at, quint32 v);
void setError(QString* error, const QString& text);

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
bool readEndRecord(const QString& native, EndInfo* info, QString* error);

// Takes the values of a zip64 end record over the end record's.
bool applyZip64End(const QByteArray& rec, EndInfo* info, const QString& native, QString* error);

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

bool parseCentralEntry(const QByteArray& cd, qsizetype at, CentralEntry* entry, ExtraParts* extra, qsizetype* length);

// The entry with a new disk number and local header offset; the zip64 extra record is rebuilt
// to hold whatever no longer fits its field. Empty when the extra field would grow too long.
QByteArray rewriteCentralEntry(const CentralEntry& entry, const ExtraParts& extra, quint64 disk, quint64 offset);

// The end records for a central directory: a zip64 end record and locator (when a value does
// not fit the plain record) and the end record. endOffset is where the block starts on its
// piece (the locator points there).
QByteArray endBlock(quint64 thisDisk, quint64 cdDisk, quint64 entriesHere, quint64 entries, quint64 cdSize,
                    quint64 cdOffset, quint64 endOffset, const QByteArray& comment);

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

bool readCentralDirectory(PieceStream& stream, const EndInfo& end, const QString& native, qint64* cdStart,
                          std::vector<CentralEntry>* entries, std::vector<ExtraParts>* extras, QString* error);

}  // namespace packaging::zipsplit
