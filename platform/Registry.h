#pragma once
// Reading the Windows registry of the Wine prefix from its text files: system.reg holds
// HKEY_LOCAL_MACHINE and user.reg HKEY_CURRENT_USER. The files look like
//
//   [Software\\Rail Simulator\\Packager Manager\\Installation] 1234567
//   #time=1d9...
//   @="C:\\Program Files\\Rail Simulator"
//   "Count"=dword:0000000a
//   "Data"=hex:01,02,03   (long lists go on over several lines, each but the last ending
//                          in a backslash)
//   "Path"=str(2):"%ProgramFiles%\\x"
//
// Key and value names are compared without regard to case.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

namespace platform {

enum class RegistryHive { LocalMachine, CurrentUser };

// Value types as the registry numbers them.
enum RegistryType : quint32 {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegMultiSz = 7,
};

// A value as stored: its type and its bytes (strings as UTF-16LE with their final NUL).
struct RegistryValue {
    quint32 type = RegNone;
    QByteArray data;
};

// The values of one key, by case-folded value name ("" for the key's default value).
using RegistryValues = QHash<QString, RegistryValue>;

// Reads the values of subKey ("Software\Rail Simulator\...", backslashes, any case) from a
// registry file. Empty when the file cannot be read or holds no such key.
std::optional<RegistryValues> readRegistryKey(const QString& registryFile, const QString& subKey);

// The file of a hive in the Wine prefix.
QString registryFilePath(RegistryHive hive);

// Reads a key of a hive. HKEY_LOCAL_MACHINE is seen as a 32-bit program sees it: a key under
// "Software" is looked for under "Software\Wow6432Node" first.
std::optional<RegistryValues> readRegistryKey(RegistryHive hive, const QString& subKey);

// Looks up a value of a key read above; empty when the key has no such value.
std::optional<RegistryValue> registryValue(const RegistryValues& values, const QString& name);

} // namespace platform
