// Split zip sets on hostile pieces. The input is cut into up to four files named as a set
// (set.z01, set.z02 ... and set.zip last):
//   byte 0      number of pieces, 1 to 4
//   byte 1      a part size for cutting the last piece again (64 + 16 x the byte)
//   then        for each piece but the last, a two-byte length and its bytes; the rest is the
//               last piece.
// Whatever the pieces hold, nothing may crash or read out of bounds. A set that opens must
// also join; a joined set is one plain zip; and a plain zip that cuts into a set must open
// and join again with the same entries.

#include "fuzz/FuzzSupport.h"
#include "packaging/ZipSplit.h"

#include <QFile>

using namespace packaging;

namespace {

qint64 readEverything(zip_t* za)
{
    const zip_int64_t count = zip_get_num_entries(za, 0);
    char buffer[4096];
    for (zip_int64_t i = 0; i < count && i < 64; ++i) {
        zip_file_t* f = zip_fopen_index(za, zip_uint64_t(i), 0);
        if (!f)
            continue;
        qint64 total = 0;
        while (total < (1 << 20)) {
            const zip_int64_t n = zip_fread(f, buffer, sizeof buffer);
            if (n <= 0)
                break;
            total += n;
        }
        zip_fclose(f);
    }
    return count;
}

} // namespace

FUZZ_SHARED_INITIALISE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const int pieces = 1 + in.pick(4);
    const qint64 partSize = 64 + 16 * qint64(in.byte());
    const QString folder = fuzz::freshFolder(QStringLiteral("set"));
    const QString archive = folder + QStringLiteral("/set.zip");
    for (int k = 1; k < pieces; ++k) {
        const int length = in.byte() | in.byte() << 8;
        QByteArray bytes;
        for (int i = 0; i < length && !in.atEnd(); ++i)
            bytes += char(in.byte());
        fuzz::writeFile(folder + QStringLiteral("/set.z0%1").arg(k), bytes);
    }
    fuzz::writeFile(archive, in.rest());

    isSplitSet(archive);
    QString error;
    zip_t* za = openSplitSet(archive, &error);
    if (za)
        readEverything(za);
    const QString joined = folder + QStringLiteral("/joined.zip");
    const bool joinedOk = joinSplitSet(archive, joined, &error);
    if (za) {
        FUZZ_CHECK(joinedOk, QStringLiteral("a set that opens does not join: ") + error);
        zip_discard(za);
    }
    if (joinedOk)
        FUZZ_CHECK(!isSplitSet(joined), QStringLiteral("a joined set still spans pieces"));

    // A plain zip cut into a set comes back with its entries.
    if (pieces == 1) {
        const zip_int64_t before = packaging::zipEntryCount(archive);
        const QString cut = folder + QStringLiteral("/cut.zip");
        if (before >= 0 && writeSplitSet(archive, cut, partSize, &error)) {
            zip_t* back = openSplitSet(cut, &error);
            FUZZ_CHECK(back, QStringLiteral("a cut set does not open: ") + error);
            FUZZ_CHECK(zip_get_num_entries(back, 0) == before, QStringLiteral("a cut set lost entries"));
            zip_discard(back);
            const QString again = folder + QStringLiteral("/again.zip");
            FUZZ_CHECK(joinSplitSet(cut, again, &error), QStringLiteral("a cut set does not join: ") + error);
            FUZZ_CHECK(packaging::zipEntryCount(again) == before, QStringLiteral("a joined cut set lost entries"));
        }
    }
    return 0;
}
