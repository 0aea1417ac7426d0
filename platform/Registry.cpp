#include "platform/Registry.h"

#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QList>
#include <QtEndian>

namespace platform {

namespace {

// Reads escaped text from pos up to an unescaped terminator; pos ends after the terminator.
// False when the terminator is missing.
bool readEscaped(const QString& s, qsizetype& pos, QChar terminator, QString& out)
{
    out.clear();
    while (pos < s.size()) {
        QChar c = s[pos++];
        if (c == terminator)
            return true;
        if (c != QLatin1Char('\\') || pos >= s.size()) {
            out.append(c);
            continue;
        }
        c = s[pos++];
        switch (c.unicode()) {
        case u'a': out.append(QChar(7)); break;
        case u'b': out.append(QChar(8)); break;
        case u'e': out.append(QChar(27)); break;
        case u'f': out.append(QChar(12)); break;
        case u'n': out.append(QChar(10)); break;
        case u'r': out.append(QChar(13)); break;
        case u't': out.append(QChar(9)); break;
        case u'v': out.append(QChar(11)); break;
        case u'x': {
            char16_t value = 0;
            for (int i = 0; i < 4 && pos < s.size() && hexDigitValue(s[pos]) >= 0; ++i)
                value = char16_t(value * 16 + hexDigitValue(s[pos++]));
            out.append(QChar(value));
            break;
        }
        default:
            if (c >= QLatin1Char('0') && c <= QLatin1Char('7')) {
                char16_t value = char16_t(c.unicode() - u'0');
                for (int i = 1; i < 3 && pos < s.size() && s[pos] >= QLatin1Char('0')
                                && s[pos] <= QLatin1Char('7');
                     ++i)
                    value = char16_t(value * 8 + (s[pos++].unicode() - u'0'));
                out.append(QChar(value));
            } else {
                out.append(c); // \\, \", \[, \] and any other escaped character
            }
        }
    }
    return false;
}

// A string value as the registry stores it: UTF-16LE with its final NUL.
QByteArray utf16WithNul(const QString& text)
{
    return encodeUtf16Le(text + QChar(u'\0'), false);
}

QString normalKey(QString key)
{
    while (key.startsWith(QLatin1Char('\\')))
        key.remove(0, 1);
    while (key.endsWith(QLatin1Char('\\')))
        key.chop(1);
    return key.toCaseFolded();
}

// Parses "hex digits" up to ")" or ":" for str(N) and hex(N).
bool readTypeNumber(const QString& s, qsizetype& pos, quint32& type)
{
    quint32 value = 0;
    qsizetype digits = 0;
    while (pos < s.size() && hexDigitValue(s[pos]) >= 0) {
        value = value * 16 + quint32(hexDigitValue(s[pos++]));
        ++digits;
    }
    if (digits == 0 || pos + 1 >= s.size() || s[pos] != QLatin1Char(')') || s[pos + 1] != QLatin1Char(':'))
        return false;
    pos += 2;
    type = value;
    return true;
}

bool readHexBytes(const QString& s, qsizetype pos, QByteArray& out)
{
    out.clear();
    int high = -1;
    for (; pos < s.size(); ++pos) {
        const QChar c = s[pos];
        const int d = hexDigitValue(c);
        if (d >= 0) {
            if (high < 0) {
                high = d;
            } else {
                out.append(char(high * 16 + d));
                high = -1;
                // Two digits make a byte; a third before the comma is malformed.
                if (pos + 1 < s.size() && hexDigitValue(s[pos + 1]) >= 0)
                    return false;
            }
        } else if (c == QLatin1Char(',') || c.isSpace() || c == QLatin1Char('\\')) {
            if (high >= 0) {
                out.append(char(high));
                high = -1;
            }
        } else {
            return false;
        }
    }
    if (high >= 0)
        out.append(char(high));
    return true;
}

// Parses one value line ("name"=data or @=data). False when it is not one.
bool parseValue(const QString& line, QString& name, RegistryValue& value)
{
    qsizetype pos = 0;
    if (line.startsWith(QLatin1Char('@'))) {
        name.clear();
        pos = 1;
    } else if (line.startsWith(QLatin1Char('"'))) {
        pos = 1;
        if (!readEscaped(line, pos, QLatin1Char('"'), name))
            return false;
    } else {
        return false;
    }
    if (pos >= line.size() || line[pos] != QLatin1Char('='))
        return false;
    ++pos;
    const QString data = line.mid(pos);
    value = RegistryValue{};
    QString text;
    if (data.startsWith(QLatin1Char('"'))) {
        qsizetype p = 1;
        if (!readEscaped(data, p, QLatin1Char('"'), text))
            return false;
        value.type = RegSz;
        value.data = utf16WithNul(text);
        return true;
    }
    if (data.startsWith(QLatin1String("str("))) {
        qsizetype p = 4;
        if (!readTypeNumber(data, p, value.type) || p >= data.size() || data[p] != QLatin1Char('"'))
            return false;
        ++p;
        if (!readEscaped(data, p, QLatin1Char('"'), text))
            return false;
        value.data = utf16WithNul(text);
        return true;
    }
    if (data.startsWith(QLatin1String("dword:"))) {
        bool ok = false;
        const quint32 number = data.mid(6).trimmed().toUInt(&ok, 16);
        if (!ok)
            return false;
        value.type = RegDword;
        value.data.resize(4);
        qToLittleEndian(number, value.data.data());
        return true;
    }
    if (data.startsWith(QLatin1String("hex:"))) {
        value.type = RegBinary;
        return readHexBytes(data, 4, value.data);
    }
    if (data.startsWith(QLatin1String("hex("))) {
        qsizetype p = 4;
        if (!readTypeNumber(data, p, value.type))
            return false;
        return readHexBytes(data, p, value.data);
    }
    return false;
}

// Reads the keys named in wanted (normalised) in one pass over the file.
QHash<QString, RegistryValues> readKeys(const QString& registryFile, const QStringList& wanted)
{
    QHash<QString, RegistryValues> found;
    QFile file(registryFile);
    if (!file.open(QIODevice::ReadOnly))
        return found;
    RegistryValues* current = nullptr;
    QString pending; // a value line continued with "\" at its end
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        while (!line.isEmpty() && (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'))))
            line.chop(1);
        if (!pending.isEmpty()) {
            line = pending + line.trimmed();
            pending.clear();
        }
        if (line.startsWith(QLatin1Char('['))) {
            current = nullptr;
            qsizetype pos = 1;
            QString key;
            if (!readEscaped(line, pos, QLatin1Char(']'), key))
                continue;
            key = normalKey(key);
            if (wanted.contains(key))
                current = &found[key];
            continue;
        }
        if (!current || line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        qsizetype end = line.size();
        while (end > 0 && line[end - 1].isSpace())
            --end;
        const QString trimmedEnd = line.left(end);
        if (trimmedEnd.endsWith(QLatin1Char('\\')) && trimmedEnd.contains(QLatin1String("=hex"))) {
            pending = trimmedEnd;
            continue;
        }
        QString name;
        RegistryValue value;
        if (parseValue(line, name, value))
            current->insert(name.toCaseFolded(), value);
    }
    return found;
}

} // namespace

std::optional<RegistryValues> readRegistryKey(const QString& registryFile, const QString& subKey)
{
    const QString key = normalKey(subKey);
    const QHash<QString, RegistryValues> found = readKeys(registryFile, QStringList{key});
    const auto it = found.constFind(key);
    if (it == found.constEnd())
        return std::nullopt;
    return *it;
}

QString registryFilePath(RegistryHive hive)
{
    return winePrefix()
           + (hive == RegistryHive::LocalMachine ? QStringLiteral("/system.reg") : QStringLiteral("/user.reg"));
}

std::optional<RegistryValues> readRegistryKey(RegistryHive hive, const QString& subKey)
{
    const QString key = normalKey(subKey);
    QStringList wanted;
    const QString software = QStringLiteral("software\\");
    if (hive == RegistryHive::LocalMachine && key.startsWith(software)
        && !key.startsWith(QStringLiteral("software\\wow6432node")))
        wanted.append(software + QStringLiteral("wow6432node\\") + key.mid(software.size()));
    wanted.append(key);
    const QHash<QString, RegistryValues> found = readKeys(registryFilePath(hive), wanted);
    for (const QString& k : wanted) {
        const auto it = found.constFind(k);
        if (it != found.constEnd())
            return *it;
    }
    return std::nullopt;
}

std::optional<RegistryValue> registryValue(const RegistryValues& values, const QString& name)
{
    const auto it = values.constFind(name.toCaseFolded());
    if (it == values.constEnd())
        return std::nullopt;
    return *it;
}

} // namespace platform
