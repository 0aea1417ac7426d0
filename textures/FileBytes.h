#pragma once
// Whole files read into memory, for the texture and picture commands.

#include <QByteArray>
#include <QString>

namespace textures {

enum class ReadPace {
    AtOnce,          // one read
    EventsBetween,   // in slices of a megabyte, window events processed after each
};

// Reads the file at path (a path the program forms, made native here) into bytes. False when
// it cannot be opened or a read fails; bytes then holds what was read so far.
bool ReadFileBytes(const QString& path, QByteArray& bytes, ReadPace pace = ReadPace::AtOnce);

} // namespace textures
