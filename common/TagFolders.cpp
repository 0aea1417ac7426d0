// The folder and list helpers that travel with the tag-search procedures: DelAll and RemD2.

#include "common/TagText.h"

#include "platform/Links.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

#include <new>

namespace tags {

namespace {

constexpr int outOfMemory = 7;

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

// A path that names no folder of its own: deleting it would take a parent's (or a whole
// drive's) tree with it. This is what a folder name that came out empty leaves behind.
bool namesNoFolderOfItsOwn(const QString& folder)
{
    if (folder.isEmpty() || isSeparator(folder.back()))
        return true;
    if (folder.size() == 2 && folder.at(1) == QLatin1Char(':') && folder.at(0).isLetter())
        return true;
    qsizetype cut = folder.size();
    while (cut > 0 && !isSeparator(folder.at(cut - 1)))
        --cut;
    const QStringView last = QStringView(folder).mid(cut);
    return last == u"." || last == u"..";
}

} // namespace

namespace detail {

void DelAll(const QString& folder)
{
    if (namesNoFolderOfItsOwn(folder))
        return;
    try {
        // A forced delete: read-only entries go too; a link, at the top or below, goes itself and
        // what it leads to stays.
        platform::removeTree(platform::nativePath(folder));
    } catch (...) {
        // Every failure is ignored; the caller goes on.
    }
}

QString remD2ErrorMessage(int errorNumber)
{
    return QStringLiteral("An error ") + QString::number(errorNumber)
           + QStringLiteral(" occurred in subroutine 'RemD2' please advise\r\n")
           + QStringLiteral("the program's maintainer with details of operation being processed.");
}

void RemD2(const QStringList& inList, QStringList& outList)
{
    outList.clear();
    if (inList.isEmpty())
        return;
    try {
        outList.resize(inList.size());
        outList[0] = inList.at(0);
        qsizetype kept = 1;
        for (qsizetype i = 1; i < inList.size(); ++i) {
            const QString& entry = inList.at(i);
            if (!entry.isEmpty() && entry.compare(inList.at(i - 1), Qt::CaseInsensitive) != 0)
                outList[kept++] = entry;
        }
        outList.resize(kept);
    } catch (const std::bad_alloc&) {
        exclaim(remD2ErrorMessage(outOfMemory));
    }
}

} // namespace detail

} // namespace tags
