#pragma once
// What files and folders hold, for tests that compare them before and after a command.

#include <QByteArray>
#include <QDir>
#include <QMap>
#include <QString>
#include <QStringList>

// A file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

// Writes the bytes into a file, creating its folder; false when that failed.
bool writeFileBytes(const QString& path, const QByteArray& bytes);

// The files below folder that match filters, as paths relative to it, sorted.
QStringList filesBelow(const QString& folder, QDir::Filters filters = QDir::Files);

// Every file below folder (hidden ones too) by its path relative to it, with its bytes.
QMap<QString, QByteArray> folderSnapshot(const QString& folder);

// The files that differ between two snapshots (changed, added or removed), sorted.
QStringList changedFiles(const QMap<QString, QByteArray>& before, const QMap<QString, QByteArray>& after);
