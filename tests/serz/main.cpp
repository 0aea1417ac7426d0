// serz.exe for tests: a stand-in for the game's serializer.
//
//   serz.exe "input" xml:"output"      (also bin:"output" and /bin:"output")
//
// Its binary form is the 8 bytes "SERZBIN1" followed by the XML's bytes, each XOR-ed with
// 0xA5 so that the file does not read as text. The direction follows the input's content,
// not the switch (the program uses " xml:" both ways): an input that starts with the magic
// header is decoded to its XML bytes, anything else is taken as XML and encoded. Both ways
// are exact, byte for byte.
//
// For tests of failure paths it writes nothing and ends with a non-zero status when
// - the input (or the XML inside a binary input) holds the marker <!--serz:fail-->,
// - the environment variable SERZ_FAIL equals the input's file name (letter case ignored),
// - the input is empty, missing or unreadable, or the output cannot be written.
// SERZ_DELAY_MS makes it sleep that many milliseconds before it starts working.
//
// The arguments may be native paths or paths with backslashes; backslashes are read as "/".

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <QThread>

#include <cstdio>

namespace {

const QByteArray kMagic("SERZBIN1");
constexpr char kKey = char(0xA5);
const QByteArray kFailMarker("<!--serz:fail-->");

enum Status { Ok = 0, Usage = 1, Refused = 2, InputError = 3, OutputError = 4 };

QByteArray scramble(const QByteArray& bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = char(bytes[i] ^ kKey);
    return out;
}

QString normalise(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

int complain(int status, const QString& text)
{
    std::fprintf(stderr, "serz: %s\n", text.toLocal8Bit().constData());
    return status;
}

// Splits "xml:path", "bin:path" or "/bin:path" (any case); false when the text is no switch.
bool splitSwitch(const QString& arg, QString& sw, QString& path)
{
    const qsizetype colon = arg.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return false;
    const QString head = arg.left(colon).toLower();
    if (head != QLatin1String("xml") && head != QLatin1String("bin") && head != QLatin1String("/bin"))
        return false;
    sw = head;
    path = arg.mid(colon + 1);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);

    QString input;
    QString output;
    QString sw;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString s;
        QString p;
        if (sw.isEmpty() && !input.isEmpty() && splitSwitch(args[i], s, p)) {
            sw = s;
            if (p.isEmpty() && i + 1 < args.size()) // "xml:" "output" given apart
                p = args[++i];
            output = p;
        } else if (input.isEmpty()) {
            input = args[i];
        } else {
            return complain(Usage, QStringLiteral("unexpected argument ") + args[i]);
        }
    }
    if (input.isEmpty() || output.isEmpty())
        return complain(Usage, QStringLiteral("usage: serz.exe \"input\" xml:\"output\""));
    input = normalise(input);
    output = normalise(output);

    bool delayOk = false;
    const int delay = qEnvironmentVariable("SERZ_DELAY_MS").toInt(&delayOk);
    if (delayOk && delay > 0)
        QThread::msleep(ulong(delay));

    const QString failName = qEnvironmentVariable("SERZ_FAIL");
    if (!failName.isEmpty() && QFileInfo(input).fileName().compare(failName, Qt::CaseInsensitive) == 0)
        return complain(Refused, QStringLiteral("told to fail for ") + input);

    QFile in(input);
    if (!in.open(QIODevice::ReadOnly))
        return complain(InputError, QStringLiteral("cannot read ") + input);
    const QByteArray bytes = in.readAll();
    in.close();
    if (bytes.isEmpty())
        return complain(InputError, QStringLiteral("nothing to convert in ") + input);

    const bool decoding = bytes.startsWith(kMagic);
    const QByteArray xml = decoding ? scramble(bytes.mid(kMagic.size())) : bytes;
    if (xml.contains(kFailMarker))
        return complain(Refused, QStringLiteral("fail marker in ") + input);
    const QByteArray result = decoding ? xml : kMagic + scramble(xml);

    QSaveFile out(output);
    if (!out.open(QIODevice::WriteOnly) || out.write(result) != result.size() || !out.commit())
        return complain(OutputError, QStringLiteral("cannot write ") + output);

    std::printf("serz: %s %s to %s %s\n", decoding ? "decoded" : "encoded", input.toLocal8Bit().constData(),
                decoding ? "XML" : "binary", output.toLocal8Bit().constData());
    return Ok;
}
