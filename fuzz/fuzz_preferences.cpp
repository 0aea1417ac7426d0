// The reader of "preferences.txt". Any bytes read without a fault; a record read in full
// whose texts hold no double quote writes and reads back the same, through the file as the
// hub writes and reads it.

#include "fuzz/FuzzSupport.h"
#include "hub/Preferences.h"
#include "platform/Paths.h"

namespace {

bool sameRecord(const PreferencesRecord& a, const PreferencesRecord& b)
{
    return a.Width == b.Width && a.Height == b.Height && a.Top == b.Top && a.Left == b.Left
           && a.TextureEditorPath == b.TextureEditorPath && a.ViewerPath == b.ViewerPath && a.GamePath == b.GamePath
           && a.XmlEditorDefault == b.XmlEditorDefault && a.Reserved == b.Reserved && a.AcrobatPath == b.AcrobatPath;
}

} // namespace

FUZZ_SHARED_INITIALISE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString file = platform::programFolder() + QStringLiteral("/preferences.txt");
    fuzz::writeFile(file, bytes);

    PreferencesRecord rec;
    const int fields = ReadPreferences(file, rec);
    FUZZ_CHECK(fields >= 0 && fields <= 10, QStringLiteral("%1 fields").arg(fields));
    PreferencesRecord fromBytes;
    FUZZ_CHECK(ParsePreferences(bytes, fromBytes) == fields, QStringLiteral("file and bytes read otherwise"));
    rec.hasUsableGeometry(fields);

    const QString texts = rec.TextureEditorPath + rec.ViewerPath + rec.GamePath + rec.Reserved + rec.AcrobatPath;
    if (fields == 10 && !texts.contains(QLatin1Char('"'))) {
        FUZZ_CHECK(WritePreferences(file, rec), QStringLiteral("write"));
        PreferencesRecord again;
        FUZZ_CHECK(ReadPreferences(file, again) == 10 && sameRecord(rec, again),
                   QStringLiteral("a record reads back otherwise: ") + fuzz::visible(QString::fromLatin1(fuzz::readFile(file))));
        FUZZ_CHECK(FormatPreferences(again) == fuzz::readFile(file), QStringLiteral("a record writes otherwise"));
    }
    return 0;
}
