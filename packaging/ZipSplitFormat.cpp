#include "packaging/ZipSplitFormat.h"

namespace packaging::zipsplit {

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

}  // namespace packaging::zipsplit
