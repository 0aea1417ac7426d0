#include "packaging/ZipArchive.h"

#include "common/VbError.h"
#include "common/Wildcard.h"
#include "packaging/ZipSplit.h"
#include "platform/FileSync.h"
#include "platform/Links.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <zip.h>

#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace packaging {

namespace {

QString native(const QString& path)
{
    return QDir::cleanPath(platform::nativePath(path));
}

QString slashed(const QString& name)
{
    QString s = name;
    s.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return s;
}

QString lastComponent(const QString& name)
{
    const QString s = slashed(name);
    return s.mid(s.lastIndexOf(QLatin1Char('/')) + 1);
}

// A file libzip reads when it writes the archive: opened only then, so that onAdd fires as
// each file is read.
struct FileSource {
    QFile file;
    QString shownName;
    qint64 size = 0;
    time_t mtime = 0;
    zip_error_t error;
    const std::function<void(const QString&)>* onAdd = nullptr;

    static zip_int64_t callback(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd)
    {
        auto* self = static_cast<FileSource*>(state);
        switch (cmd) {
        case ZIP_SOURCE_OPEN:
            if (!self->file.open(QIODevice::ReadOnly)) {
                zip_error_set(&self->error, ZIP_ER_OPEN, ENOENT);
                return -1;
            }
            if (self->onAdd && *self->onAdd)
                (*self->onAdd)(self->shownName);
            return 0;
        case ZIP_SOURCE_READ: {
            const qint64 n = self->file.read(static_cast<char*>(data), qint64(len));
            if (n < 0) {
                zip_error_set(&self->error, ZIP_ER_READ, EIO);
                return -1;
            }
            return n;
        }
        case ZIP_SOURCE_CLOSE:
            self->file.close();
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* st = static_cast<zip_stat_t*>(data);
            zip_stat_init(st);
            st->size = zip_uint64_t(self->size);
            st->mtime = self->mtime;
            st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t to = zip_source_seek_compute_offset(zip_uint64_t(self->file.pos()),
                                                                  zip_uint64_t(self->size), data, len, &self->error);
            if (to < 0 || !self->file.seek(to))
                return -1;
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return self->file.pos();
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&self->error, data, len);
        case ZIP_SOURCE_FREE:
            zip_error_fini(&self->error);
            delete self;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                  ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                                  ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS, -1);
        default:
            zip_error_set(&self->error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }
};

// The smallest valid zip: an end record and nothing else.
QByteArray emptyZip()
{
    QByteArray bytes(22, '\0');
    bytes[0] = 'P';
    bytes[1] = 'K';
    bytes[2] = 5;
    bytes[3] = 6;
    return bytes;
}

bool writeEmptyZip(const QString& nativePath, QString* error)
{
    QSaveFile f(nativePath);
    if (!f.open(QIODevice::WriteOnly) || f.write(emptyZip()) != 22 || !platform::commitWhole(f)) {
        *error = f.errorString();
        return false;
    }
    return true;
}

// The first piece of a split set ending in nativePath, under either naming.
qint64 firstPieceSize(const QString& nativePath)
{
    const QString base = nativePath.left(nativePath.size() - 3);
    for (const QString& suffix : {QStringLiteral("z01"), QStringLiteral("000")}) {
        const QFileInfo fi(base + suffix);
        if (fi.isFile())
            return fi.size();
    }
    return 0;
}

} // namespace

ZipArchive::ZipArchive() = default;

ZipArchive::~ZipArchive()
{
    close();
}

QString ZipArchive::libzipError() const
{
    return za_ ? QString::fromLocal8Bit(zip_strerror(za_)) : QString();
}

void ZipArchive::discard()
{
    if (za_)
        zip_discard(za_);
    za_ = nullptr;
    if (split_ && !workPath_.isEmpty() && workPath_ != nativePath_)
        QFile::remove(workPath_);
    workPath_.clear();
    split_ = false;
    readOnly_ = false;
    dirty_ = false;
    partSize_ = 0;
}

bool ZipArchive::openWork(const QString& nativePath, int flags)
{
    int code = 0;
    za_ = zip_open(QFile::encodeName(nativePath).constData(), flags, &code);
    if (!za_) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        error_ = QString::fromLocal8Bit(zip_error_strerror(&e));
        zip_error_fini(&e);
        return false;
    }
    return true;
}

bool ZipArchive::create(const QString& path, bool split, qint64 partSize)
{
    close();
    error_.clear();
    path_ = path;
    nativePath_ = native(path);
    if (split && partSize < 1) {
        error_ = QStringLiteral("the part size is less than one byte");
        return false;
    }
    split_ = split;
    partSize_ = split ? partSize : 0;
    if (split) {
        const QFileInfo fi(nativePath_);
        workPath_ = fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QStringLiteral(".single.tmp");
    } else {
        workPath_ = nativePath_;
    }
    if (!writeEmptyZip(workPath_, &error_)) {
        discard();
        return false;
    }
    if (split && !writeSplitSet(workPath_, nativePath_, partSize_, &error_)) {
        discard();
        return false;
    }
    if (!openWork(workPath_, 0)) {
        discard();
        return false;
    }
    return true;
}

bool ZipArchive::open(const QString& path)
{
    close();
    error_.clear();
    path_ = path;
    nativePath_ = native(path);
    if (!QFileInfo(nativePath_).isFile()) {
        error_ = QStringLiteral("No such file");
        return false;
    }
    if (isSplitSet(nativePath_)) {
        za_ = openSplitSet(nativePath_, &error_);
        if (!za_)
            return false;
        split_ = true;
        readOnly_ = true;
        partSize_ = firstPieceSize(nativePath_);
        return true;
    }
    workPath_ = nativePath_;
    if (!openWork(workPath_, 0)) {
        workPath_.clear();
        return false;
    }
    return true;
}

void ZipArchive::close()
{
    if (za_ && dirty_)
        commit();
    discard();
}

bool ZipArchive::isClosed() const
{
    return za_ == nullptr;
}

bool ZipArchive::makeWritable()
{
    if (!za_) {
        error_ = QStringLiteral("No archive is open");
        return false;
    }
    if (!readOnly_)
        return true;
    const QFileInfo fi(nativePath_);
    const QString work = fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QStringLiteral(".single.tmp");
    if (!joinSplitSet(nativePath_, work, &error_)) {
        QFile::remove(work);
        return false;
    }
    zip_discard(za_);
    za_ = nullptr;
    workPath_ = work;
    readOnly_ = false;
    if (!openWork(workPath_, 0)) {
        discard();
        return false;
    }
    return true;
}

int ZipArchive::entryCount() const
{
    return za_ ? int(std::max<zip_int64_t>(0, zip_get_num_entries(za_, 0))) : 0;
}

int ZipArchive::fileCount() const
{
    return entryCount();
}

qint64 ZipArchive::total() const
{
    qint64 sum = 0;
    const int n = entryCount();
    for (int i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(za_, zip_uint64_t(i), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE))
            sum += qint64(st.size);
    }
    return sum;
}

ZipEntry ZipArchive::entry(int index) const
{
    ZipEntry e;
    if (!za_ || index < 0)
        return e;
    zip_stat_t st;
    if (zip_stat_index(za_, zip_uint64_t(index), 0, &st) != 0)
        return e;
    if (st.valid & ZIP_STAT_NAME)
        e.name = QString::fromUtf8(st.name);
    if (st.valid & ZIP_STAT_COMP_SIZE)
        e.compressedSize = qint64(st.comp_size);
    if (st.valid & ZIP_STAT_SIZE)
        e.uncompressedSize = qint64(st.size);
    if (st.valid & ZIP_STAT_MTIME)
        e.modified = QDateTime::fromSecsSinceEpoch(qint64(st.mtime));
    e.valid = true;
    return e;
}

void ZipArchive::setBasePath(const QString& folder)
{
    basePath_ = folder;
}

QString ZipArchive::storedName(const QString& nativeFile, const QString& nativeBase, bool fullPath,
                               const QString& nativeFallbackBase)
{
    const QString file = QDir::cleanPath(nativeFile);
    if (fullPath) {
        QString s = file;
        while (s.startsWith(QLatin1Char('/')))
            s.remove(0, 1);
        return s;
    }
    for (const QString& b : {nativeBase, nativeFallbackBase}) {
        if (b.isEmpty())
            continue;
        QString base = QDir::cleanPath(b);
        if (!base.endsWith(QLatin1Char('/')))
            base += QLatin1Char('/');
        if (file.startsWith(base) && file.size() > base.size())
            return file.mid(base.size());
    }
    return lastComponent(file);
}

bool ZipArchive::addOne(const QString& nativeFile, const QString& name, int level)
{
    const QFileInfo fi(nativeFile);
    {
        QFile probe(nativeFile);
        if (!fi.isFile() || !probe.open(QIODevice::ReadOnly)) {
            error_ = fi.exists() ? probe.errorString() : QStringLiteral("No such file");
            return false;
        }
    }
    auto* state = new FileSource;
    state->file.setFileName(nativeFile);
    state->shownName = nativeFile;
    state->size = fi.size();
    state->mtime = time_t(fi.lastModified().toSecsSinceEpoch());
    state->onAdd = &onAdd;
    zip_error_init(&state->error);
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* src = zip_source_function_create(&FileSource::callback, state, &err);
    if (!src) {
        error_ = QString::fromLocal8Bit(zip_error_strerror(&err));
        zip_error_fini(&err);
        zip_error_fini(&state->error);
        delete state;
        return false;
    }
    zip_error_fini(&err);
    const QByteArray utf8 = name.toUtf8();
    const zip_int64_t idx = zip_file_add(za_, utf8.constData(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (idx < 0) {
        error_ = libzipError();
        zip_source_free(src);
        return false;
    }
    int rc;
    if (level == 0)
        rc = zip_set_file_compression(za_, zip_uint64_t(idx), ZIP_CM_STORE, 0);
    else if (level >= 1 && level <= 9)
        rc = zip_set_file_compression(za_, zip_uint64_t(idx), ZIP_CM_DEFLATE, zip_uint32_t(level));
    else
        rc = zip_set_file_compression(za_, zip_uint64_t(idx), ZIP_CM_DEFAULT, 0);
    if (rc != 0) {
        error_ = libzipError();
        return false;
    }
    dirty_ = true;
    return true;
}

bool ZipArchive::addFile(const QString& file, bool fullPath, int level)
{
    error_.clear();
    if (!makeWritable())
        return false;
    const QString nf = native(file);
    const QString base = basePath_.isEmpty() ? QString() : native(basePath_);
    return addOne(nf, storedName(nf, base, fullPath, QString()), level);
}

bool ZipArchive::addFolder(const QString& folder, bool includeSubDirs, bool fullPath, int level)
{
    return addTree(folder, QString(), includeSubDirs, fullPath, level);
}

bool ZipArchive::addFolder(const QString& folder, const QString& pattern, bool includeSubDirs, bool fullPath,
                           int level)
{
    return addTree(folder, pattern, includeSubDirs, fullPath, level);
}

bool ZipArchive::addTree(const QString& folder, const QString& pattern, bool includeSubDirs, bool fullPath,
                         int level)
{
    error_.clear();
    if (!makeWritable())
        return false;
    const QString nf = native(folder);
    const QFileInfo root(nf);
    if (platform::leadsNowhere(nf)) {
        error_ = VbError::standardDescription(76);
        return false;
    }
    if (!root.isDir()) {
        error_ = QStringLiteral("No such folder");
        return false;
    }
    const QString base = basePath_.isEmpty() ? QString() : native(basePath_);
    const QString fallback = QDir::cleanPath(root.absoluteFilePath() + QStringLiteral("/.."));
    // The archive itself (and its work file) may lie in the folder, also through a link: a file
    // of its name is looked at where it leads.
    const QFileInfo ownInfo(nativePath_);
    const QFileInfo workInfo(workPath_);
    const auto isOwn = [&](const platform::FolderEntry& e) {
        if (e.name != ownInfo.fileName() && (workPath_.isEmpty() || e.name != workInfo.fileName()))
            return false;
        const QString canonical = QFileInfo(e.path).canonicalFilePath();
        return canonical == ownInfo.canonicalFilePath() || (!workPath_.isEmpty() && canonical == workInfo.canonicalFilePath());
    };

    // A linked folder or file is added as what it leads to; what cannot be added is named.
    std::vector<QString> files;
    QStringList notAdded;
    const QString start = QDir::cleanPath(root.absoluteFilePath());
    platform::walkTree(start, [&](const platform::FolderEntry& e, const QString& rel) {
        const auto leaveOut = [&](const QString& why) {
            notAdded << QDir::toNativeSeparators(start + QLatin1Char('/') + rel + e.name) + QStringLiteral(": ") + why;
        };
        const QString noText = QStringLiteral("its name is not text in this system's encoding");
        if (e.isFolder()) {
            if (includeSubDirs && !e.nameIsText)
                leaveOut(noText);
            return includeSubDirs;
        }
        const bool matches = pattern.isEmpty() || wildcardMatchAny(pattern, e.name);
        // A link that leads nowhere may have been a folder: missing whatever its name then.
        if (e.standing == platform::Standing::Nowhere) {
            if (matches || includeSubDirs)
                leaveOut(VbError::standardDescription(76));
            return false;
        }
        if (!matches)
            return false;
        if (!e.nameIsText)
            leaveOut(noText);
        else if (e.isFile() && !isOwn(e))
            files.push_back(e.path);
        return false;
    });
    std::sort(files.begin(), files.end());
    for (const QString& p : files) {
        const QString file = QDir::cleanPath(p);
        if (!addOne(file, storedName(file, base, fullPath, fallback), level)) {
            error_ = QDir::toNativeSeparators(file) + QStringLiteral(": ") + error_;
            return false;
        }
    }
    if (!notAdded.isEmpty()) {
        // The others are in; the add is no success while any is left out.
        error_ = QStringLiteral("these were not added:\n") + notAdded.join(QLatin1Char('\n'));
        return false;
    }
    return true;
}

bool ZipArchive::commit()
{
    if (!za_ || !dirty_)
        return true;
    dirty_ = false;
    if (zip_close(za_) != 0) {
        error_ = libzipError();
        zip_discard(za_);
        za_ = nullptr;
        openWork(workPath_, 0);
        return false;
    }
    za_ = nullptr;
    bool ok = true;
    QString splitError;
    if (split_ && !writeSplitSet(workPath_, nativePath_, partSize_, &splitError)) {
        ok = false;
    }
    if (!openWork(workPath_, 0))
        return false;
    if (!ok)
        error_ = splitError;
    return ok;
}

QString ZipArchive::unsafeNameReason(const QString& name)
{
    const QString s = slashed(name);
    if (s.isEmpty())
        return QStringLiteral("it has no name");
    if (s.startsWith(QLatin1Char('/')))
        return QStringLiteral("its name is absolute");
    if (s.size() >= 2 && s[1] == QLatin1Char(':') && s[0].isLetter())
        return QStringLiteral("its name starts with a drive");
    const QStringList parts = s.split(QLatin1Char('/'));
    for (const QString& part : parts) {
        if (part == QLatin1String(".."))
            return QStringLiteral("its name climbs out with \"..\"");
        if (part.contains(QLatin1Char(':')) || part.contains(QChar(0)))
            return QStringLiteral("its name holds a character no file name may hold");
    }
    return QString();
}

bool ZipArchive::extract(int index, const QString& destination)
{
    error_.clear();
    if (!za_) {
        error_ = QStringLiteral("No archive is open");
        return false;
    }
    const ZipEntry e = entry(index);
    if (!e.valid) {
        error_ = libzipError();
        return false;
    }
    if (onExtract)
        onExtract(QString(e.name).replace(QLatin1Char('/'), QLatin1Char('\\')));
    QString target;
    if (!entryMayBeWritten(index, e) || !makeEntryPath(e, destination, target))
        return false;
    return target.isEmpty() || writeEntryFile(index, e, target);
}

bool ZipArchive::entryMayBeWritten(int index, const ZipEntry& e)
{
    const QString reason = unsafeNameReason(e.name);
    if (!reason.isEmpty()) {
        error_ = reason;
        return false;
    }
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(za_, zip_uint64_t(index), 0, &opsys, &attributes) == 0
        && opsys == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK) {
        error_ = QStringLiteral("it is a link");
        return false;
    }
    return true;
}

bool ZipArchive::makeEntryPath(const ZipEntry& e, const QString& destination, QString& target)
{
    if (platform::makesForbiddenName(destination)) {
        error_ = VbError::standardDescription(52);
        return false;
    }
    const QString dest = native(destination);
    if (platform::isUnreachable(dest) || platform::leadsNowhere(dest)) {
        error_ = VbError::standardDescription(76);
        return false;
    }
    if (!QDir().mkpath(dest)) {
        error_ = QStringLiteral("the folder ") + destination + QStringLiteral(" could not be created");
        return false;
    }
    // The entry's own names never climb out (unsafeNameReason); a folder on the way is written
    // into wherever the user's link there leads, unless it leads nowhere.
    const bool isFolder = e.name.endsWith(QLatin1Char('/')) || e.name.endsWith(QLatin1Char('\\'));
    QStringList parts = slashed(e.name).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    parts.removeAll(QStringLiteral("."));
    if (parts.isEmpty()) {
        error_ = QStringLiteral("it has no name");
        return false;
    }
    const qsizetype folderParts = isFolder ? parts.size() : parts.size() - 1;
    QString current = QDir::cleanPath(dest);
    for (qsizetype i = 0; i < folderParts; ++i) {
        current += QLatin1Char('/') + parts[i];
        switch (platform::standingAt(current)) {
        case platform::Standing::Folder:
            continue;
        case platform::Standing::Nothing:
            if (QDir().mkdir(current))
                continue;
            error_ = QStringLiteral("the folder ") + QDir::toNativeSeparators(current)
                     + QStringLiteral(" could not be created");
            return false;
        case platform::Standing::Nowhere:
            error_ = VbError::standardDescription(76);
            return false;
        default:
            error_ = QStringLiteral("a file stands in its path");
            return false;
        }
    }
    if (isFolder)
        return true;
    const QString file = current + QLatin1Char('/') + parts.last();
    switch (platform::standingAt(file)) {
    case platform::Standing::Nowhere:
        error_ = VbError::standardDescription(76);
        return false;
    case platform::Standing::Folder:
        error_ = QStringLiteral("a folder stands in its place");
        return false;
    default:
        break; // a file, also a linked one, is written into
    }
    target = file;
    return true;
}

bool ZipArchive::writeEntryFile(int index, const ZipEntry& e, const QString& target)
{
    zip_file_t* zf = zip_fopen_index(za_, zip_uint64_t(index), 0);
    if (!zf) {
        error_ = libzipError();
        return false;
    }
    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly)) {
        error_ = out.errorString();
        zip_fclose(zf);
        return false;
    }
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const zip_int64_t n = zip_fread(zf, buffer.data(), buffer.size());
        if (n < 0) {
            error_ = QString::fromLocal8Bit(zip_file_strerror(zf));
            zip_fclose(zf);
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
        if (out.write(buffer.data(), n) != n) {
            error_ = out.errorString();
            zip_fclose(zf);
            out.cancelWriting();
            return false;
        }
    }
    zip_fclose(zf);
    if (!platform::commitWhole(out)) {
        error_ = out.errorString();
        return false;
    }
    if (e.modified.isValid()) {
        QFile done(target);
        if (done.open(QIODevice::Append))
            done.setFileTime(e.modified, QFileDevice::FileModificationTime);
    }
    return true;
}

int ZipArchive::find(const QString& name, bool fileNameOnly) const
{
    const QString wanted = fileNameOnly ? lastComponent(name) : slashed(name);
    const int n = entryCount();
    for (int i = 0; i < n; ++i) {
        const ZipEntry e = entry(i);
        const QString have = fileNameOnly ? lastComponent(e.name) : slashed(e.name);
        if (have.compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QList<int> ZipArchive::findPattern(const QString& pattern) const
{
    QList<int> out;
    const bool whole = pattern.contains(QLatin1Char('/')) || pattern.contains(QLatin1Char('\\'));
    const QString p = slashed(pattern);
    const int n = entryCount();
    for (int i = 0; i < n; ++i) {
        const ZipEntry e = entry(i);
        if (wildcardMatch(p, whole ? slashed(e.name) : lastComponent(e.name)))
            out.append(i);
    }
    return out;
}

} // namespace packaging
