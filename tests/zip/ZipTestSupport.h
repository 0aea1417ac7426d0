#pragma once
// Helpers of the zip tests: files with chosen times, archives made with libzip directly, and
// listings of what a folder holds.

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>
#include <zip.h>

#include <sys/stat.h>

#include <utility>
#include <vector>

namespace ziptest {

// Text that deflates well, and bytes that do not.
inline QByteArray textBytes(int size)
{
    QByteArray out;
    while (out.size() < size)
        out += "<Record><Name>Carriage</Name><Value>12.5</Value></Record>\r\n";
    out.truncate(size);
    return out;
}

inline QByteArray noiseBytes(int size, quint32 seed = 7)
{
    QByteArray out(size, '\0');
    for (int i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        out[i] = char(seed >> 24);
    }
    return out;
}

// Writes the file (creating its folders) and gives it the modification time.
inline void writeFile(const QString& path, const QByteArray& bytes, const QDateTime& when = QDateTime())
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
    ASSERT_TRUE(f.flush()); // a write after the time would set it again
    if (when.isValid()) {
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file and folder below root, relative, sorted ("a/", "a/b.txt").
inline QStringList treeOf(const QString& root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        const QFileInfo fi = it.fileInfo();
        out << QDir(root).relativeFilePath(p) + (fi.isDir() && !fi.isSymLink() ? QStringLiteral("/") : QString());
    }
    out.sort();
    return out;
}

struct RawEntry {
    QByteArray name;
    QByteArray data;
    bool symlink = false;
    bool folder = false;
};

// An archive written by libzip alone, names taken exactly as given.
inline void makeRawZip(const QString& path, const std::vector<RawEntry>& entries)
{
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(za, nullptr);
    std::vector<QByteArray> keep; // libzip reads buffers at close
    keep.reserve(entries.size());
    for (const RawEntry& e : entries) {
        zip_int64_t idx;
        if (e.folder) {
            idx = zip_dir_add(za, e.name.constData(), ZIP_FL_ENC_RAW);
        } else {
            keep.push_back(e.data);
            zip_source_t* src = zip_source_buffer(za, keep.back().constData(), zip_uint64_t(keep.back().size()), 0);
            ASSERT_NE(src, nullptr);
            idx = zip_file_add(za, e.name.constData(), src, ZIP_FL_ENC_RAW);
        }
        ASSERT_GE(idx, 0) << e.name.constData() << ": " << zip_strerror(za);
        if (e.symlink) {
            ASSERT_EQ(zip_file_set_external_attributes(za, zip_uint64_t(idx), 0, ZIP_OPSYS_UNIX,
                                                       zip_uint32_t(S_IFLNK | 0777) << 16),
                      0);
        }
    }
    ASSERT_EQ(zip_close(za), 0) << zip_strerror(za);
}

} // namespace ziptest
