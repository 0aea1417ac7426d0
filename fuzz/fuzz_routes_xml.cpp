// The Routes.xml check. The first input byte picks the road, the rest is the file:
//   even  "Check Routes.xml file" (CheckRoutesXmlFile) on a game folder's Content\Routes.xml:
//         the original is kept byte for byte as the backup, the file holds the cleaned text
//         (line ends made CR LF, then the lines cleaned), and cleaning that again changes
//         nothing;
//   odd   CheckTagBalance on a file: it holds the cleaned text afterwards and one message
//         was shown per unpaired line.

#include "fuzz/FuzzSupport.h"
#include "hub/RoutesXmlCheck.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString messages()
{
    return fuzz::answeringUi().messages.join(QStringLiteral(" | "));
}

void checkStable(const QString& cleaned)
{
    const TagBalanceResult again = CleanTagLines(cleaned);
    FUZZ_CHECK(again.text == cleaned, QStringLiteral("cleaning the cleaned text changed it: ") + fuzz::visible(cleaned));
}

} // namespace

FUZZ_SHARED_INITIALISE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    fuzz::AnsweringUi& seam = fuzz::answeringUi();
    seam.reset();
    const QByteArray bytes = fuzz::bytesOf(data + 1, size - 1);
    const QString text = platform::decodeAnsi(bytes);
    const QString game = fuzz::freshFolder(QStringLiteral("game"));
    QDir().mkpath(game + QStringLiteral("/Content"));
    const QString file = game + QStringLiteral("/Content/Routes.xml");
    fuzz::writeFile(file, bytes);

    if (data[0] % 2 == 0) {
        seam.openAnswer = file;
        CheckRoutesXmlFile();
        const QString backup = file + QStringLiteral(".bak");
        if (bytes.isEmpty()) {
            FUZZ_CHECK(!QFileInfo::exists(backup) && fuzz::readFile(file).isEmpty(), messages());
            return 0;
        }
        FUZZ_CHECK(QFileInfo::exists(backup), QStringLiteral("no backup: ") + messages());
        FUZZ_CHECK(fuzz::readFile(backup) == bytes, QStringLiteral("the backup is not the original"));
        const TagBalanceResult expected = CleanTagLines(NormaliseLineEnds(text));
        const QString written = platform::decodeAnsi(fuzz::readFile(file));
        FUZZ_CHECK(written == expected.text, QStringLiteral("the file does not hold the cleaned text: ") + fuzz::visible(written));
        FUZZ_CHECK(seam.messages.size() == expected.unpairedLines.size() + 1, messages());
        checkStable(written);
    } else {
        bool written = false;
        try {
            written = CheckTagBalance(file);
        } catch (const std::exception& e) {
            fuzz::fail("CheckTagBalance raised an error on a readable file", QString::fromLocal8Bit(e.what()));
        }
        const TagBalanceResult expected = CleanTagLines(text);
        FUZZ_CHECK(written == !expected.text.isEmpty(), messages());
        FUZZ_CHECK(platform::decodeAnsi(fuzz::readFile(file)) == expected.text, QStringLiteral("CheckTagBalance wrote otherwise"));
        FUZZ_CHECK(seam.messages.size() == expected.unpairedLines.size() + (written ? 0 : 1), messages());
        checkStable(expected.text);
    }
    return 0;
}
