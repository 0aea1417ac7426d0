// The Wine registry reader. The input is a registry file (system.reg or user.reg text); the
// keys looked up are the game's own, the first and a later key the file names, and each
// through both hives of the prefix (HKEY_LOCAL_MACHINE through Wow6432Node first). Every
// value read is found again by its name in any letter case, and HKEY_LOCAL_MACHINE shows a
// "Software\..." key from Wow6432Node when the file has it there, else the key itself.

#include "fuzz/FuzzSupport.h"
#include "platform/Registry.h"
#include "platform/TextCodec.h"

using namespace platform;

namespace {

void checkValues(const std::optional<RegistryValues>& values, const QString& key)
{
    if (!values)
        return;
    for (auto it = values->constBegin(); it != values->constEnd(); ++it) {
        const RegistryValue& v = it.value();
        const QString where = QStringLiteral("[%1] \"%2\"").arg(fuzz::visible(key), fuzz::visible(it.key()));
        // Names are matched without regard to (ASCII) case.
        QString name = it.key();
        for (QChar& c : name)
            if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                c = QChar(c.unicode() - 32);
        const auto again = registryValue(*values, name);
        FUZZ_CHECK(again && again->type == v.type && again->data == v.data, QStringLiteral("value lookup: ") + where);
    }
}

bool sameValues(const std::optional<RegistryValues>& a, const std::optional<RegistryValues>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    if (!a)
        return true;
    if (a->size() != b->size())
        return false;
    for (auto it = a->constBegin(); it != a->constEnd(); ++it) {
        const auto other = b->constFind(it.key());
        if (other == b->constEnd() || other->type != it->type || other->data != it->data)
            return false;
    }
    return true;
}

// The key of the n-th "[...]" line, escapes as the file writes them ("\\" for "\").
QString keyLine(const QString& text, int n)
{
    qsizetype at = -1;
    for (int i = 0; i <= n; ++i) {
        at = text.indexOf(QLatin1Char('['), at + 1);
        if (at < 0)
            return QString();
    }
    const qsizetype end = text.indexOf(QLatin1Char(']'), at);
    QString key = text.mid(at + 1, end < 0 ? -1 : end - at - 1);
    key.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    return key;
}

} // namespace

FUZZ_SHARED_INITIALISE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    fuzz::writeFile(registryFilePath(RegistryHive::LocalMachine), bytes);
    fuzz::writeFile(registryFilePath(RegistryHive::CurrentUser), bytes);
    const QString text = QString::fromUtf8(bytes);

    QStringList keys{QStringLiteral("Software\\Rail Simulator\\Packager Manager\\Installation"),
                     QStringLiteral("Software\\Wow6432Node\\Rail Simulator"), keyLine(text, 0), keyLine(text, 3)};
    // "Software\..." keys are looked for under Wow6432Node too.
    const QString first = keyLine(text, 0);
    if (first.startsWith(QLatin1String("Software\\Wow6432Node\\"), Qt::CaseInsensitive))
        keys.append(QStringLiteral("Software\\") + first.mid(21));
    const QString file = registryFilePath(RegistryHive::LocalMachine);
    for (const QString& key : keys) {
        const auto plain = readRegistryKey(file, key);
        const auto machine = readRegistryKey(RegistryHive::LocalMachine, key);
        checkValues(plain, key);
        checkValues(machine, key);
        checkValues(readRegistryKey(RegistryHive::CurrentUser, key), key);
        // A 32-bit program sees "Software\x" in "Software\Wow6432Node\x" when that key exists.
        QString trimmed = key;
        while (trimmed.startsWith(QLatin1Char('\\')))
            trimmed.remove(0, 1);
        while (trimmed.endsWith(QLatin1Char('\\')))
            trimmed.chop(1);
        std::optional<RegistryValues> expected = plain;
        if (trimmed.startsWith(QLatin1String("Software\\"), Qt::CaseInsensitive)
            && !trimmed.startsWith(QLatin1String("Software\\Wow6432Node"), Qt::CaseInsensitive)) {
            const auto redirected = readRegistryKey(file, QStringLiteral("Software\\Wow6432Node\\") + trimmed.mid(9));
            if (redirected)
                expected = redirected;
        }
        FUZZ_CHECK(sameValues(machine, expected), QStringLiteral("HKEY_LOCAL_MACHINE view of ") + fuzz::visible(key));
    }
    return 0;
}
