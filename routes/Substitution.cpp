#include "routes/Substitution.h"

#include "common/FileProcs.h"
#include "common/Serializer.h"
#include "common/SerzPool.h"
#include "common/TempFiles.h"
#include "common/VbError.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "routes/RouteScan.h"
#include "routes/TagSearch.h"

#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <exception>

namespace routes {

namespace {

constexpr QStringView kBlueprintTag = u"<BlueprintID";
constexpr QStringView kProviderTag = u"<Provider";
constexpr QStringView kProductTag = u"<Product";

// The first start tag named tag (with its "<") at or after from, ignoring case; -1 when none.
qsizetype findTag(QStringView text, QStringView tag, qsizetype from)
{
    while (from < text.size()) {
        const qsizetype at = text.indexOf(tag, from, Qt::CaseInsensitive);
        if (at < 0)
            return -1;
        if (EndsTagName(text, at + tag.size()))
            return at;
        from = at + 1;
    }
    return -1;
}

// One element as the search sees it. A value element holds text only: its start tag is
// followed by the text and then directly by its own end tag.
struct Element {
    bool complete = false; // the start tag ends and a "<" follows it
    bool value = false;
    qsizetype textStart = 0;
    qsizetype textEnd = 0;
    qsizetype after = 0; // just past the end tag of a value element, else past the start tag
};

Element readElement(QStringView text, qsizetype tagAt, QStringView tag)
{
    Element e;
    const qsizetype gt = text.indexOf(u'>', tagAt + tag.size());
    if (gt < 0)
        return e;
    if (text[gt - 1] == u'/') {
        // An empty element has no text that could be replaced in place.
        e.complete = true;
        e.after = gt + 1;
        return e;
    }
    const qsizetype lt = text.indexOf(u'<', gt + 1);
    if (lt < 0)
        return e;
    e.complete = true;
    e.textStart = gt + 1;
    e.textEnd = lt;
    e.after = gt + 1;
    // "</" and the same name closes it.
    const QStringView name = tag.mid(1);
    if (lt + 2 + name.size() < text.size() && text[lt + 1] == u'/'
        && text.mid(lt + 2, name.size()).compare(name, Qt::CaseInsensitive) == 0
        && EndsTagName(text, lt + 2 + name.size())) {
        const qsizetype close = text.indexOf(u'>', lt);
        if (close >= 0) {
            e.value = true;
            e.after = close + 1;
        }
    }
    return e;
}

// The last value element named tag that starts at or after from and ends before before.
Element lastValueElement(QStringView text, QStringView tag, qsizetype from, qsizetype before)
{
    const qsizetype at = LastStartTag(text, tag, from, before, Qt::CaseInsensitive);
    if (at < 0)
        return Element();
    const Element e = readElement(text, at, tag);
    return e.value && e.after <= before ? e : Element();
}

// An element's text with the XML entities that may stand in a path read back.
QString readBack(QStringView raw)
{
    QString text = raw.toString();
    if (!text.contains(u'&'))
        return text;
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

bool textEquals(QStringView text, const Element& e, const QString& wanted)
{
    const QStringView raw = text.mid(e.textStart, e.textEnd - e.textStart);
    if (raw.size() == wanted.size() && raw.compare(wanted, Qt::CaseInsensitive) == 0)
        return true;
    return raw.contains(u'&') && readBack(raw).compare(wanted, Qt::CaseInsensitive) == 0;
}

QString escaped(const QString& value)
{
    QString text = value;
    text.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    text.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    text.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    return text;
}

struct Span {
    qsizetype start = 0;
    qsizetype end = 0;
    const QString* replacement = nullptr;
};

} // namespace

QString SubstituteFolderFor(int kind)
{
    switch (kind) {
    case 0:
        return QStringLiteral("\\Scenery");
    case 1:
        return QStringLiteral("\\Networks\\Loft Tiles");
    case 2:
        return QStringLiteral("\\Networks\\Road Tiles");
    default:
        return QString();
    }
}

bool ReplaceBlueprintReferences(QString& text, const SubstituteRequest& request)
{
    if (request.oldPath.isEmpty())
        return false;
    const QString newProvider = escaped(request.newProvider);
    const QString newProduct = escaped(request.newProduct);
    const QString newPath = escaped(request.newPath);
    const bool providerChanges = request.oldProvider.compare(request.newProvider, Qt::CaseInsensitive) != 0;
    const bool productChanges = request.oldProduct.compare(request.newProduct, Qt::CaseInsensitive) != 0;

    const QStringView view(text);
    QString out;
    qsizetype copied = 0; // text before this position is in out
    qsizetype regionStart = 0; // just past the reference before
    qsizetype pos = 0;
    for (;;) {
        const qsizetype at = findTag(view, kBlueprintTag, pos);
        if (at < 0)
            break;
        const Element id = readElement(view, at, kBlueprintTag);
        if (!id.complete)
            break;
        if (!id.value) {
            pos = id.after; // the reference's outer element: its parts follow
            continue;
        }
        if (textEquals(view, id, request.oldPath)) {
            const Element provider = lastValueElement(view, kProviderTag, regionStart, at);
            const Element product = lastValueElement(view, kProductTag, regionStart, at);
            if (provider.value && product.value && textEquals(view, provider, request.oldProvider)
                && textEquals(view, product, request.oldProduct)) {
                std::array<Span, 3> spans;
                int count = 0;
                if (providerChanges)
                    spans[count++] = Span{provider.textStart, provider.textEnd, &newProvider};
                if (productChanges)
                    spans[count++] = Span{product.textStart, product.textEnd, &newProduct};
                spans[count++] = Span{id.textStart, id.textEnd, &newPath};
                std::sort(spans.begin(), spans.begin() + count,
                          [](const Span& a, const Span& b) { return a.start < b.start; });
                for (int k = 0; k < count; ++k) {
                    const Span& span = spans[k];
                    if (view.mid(span.start, span.end - span.start) == *span.replacement)
                        continue;
                    if (out.isEmpty())
                        out.reserve(text.size() + text.size() / 8);
                    out.append(view.mid(copied, span.start - copied));
                    out.append(*span.replacement);
                    copied = span.end;
                }
            }
        }
        regionStart = pos = id.after;
    }
    if (copied == 0)
        return false;
    out.append(view.mid(copied));
    text = out;
    return true;
}

QStringList TileFileNames(const QString& folder)
{
    if (!FolderExists(folder))
        return QStringList();
    const QDir dir(platform::nativePath(folder));
    return dir.entryList({QStringLiteral("*.bin")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QString SubstituteWorkFolder()
{
    return TempFilesFolder();
}

QList<UnchangedTile> SubstituteInTiles(const QString& folder, const QStringList& names,
                                       const SubstituteRequest& request, const TileLoopProgress& progress,
                                       TileLoopStats* stats)
{
    TileLoopStats counts;
    const auto runSerz = [&counts](const QString& in, const QString& switchText, const QString& out,
                                   const QString& current) {
        QElapsedTimer timer;
        timer.start();
        const ConversionResult result = RunSerz(in, switchText, out, current);
        ++counts.serializerRuns;
        counts.serializerNs += timer.nsecsElapsed();
        return result;
    };
    QList<UnchangedTile> unchanged;
    const QString work = SubstituteWorkFolder() + QLatin1Char('\\');
    const QString programFolder = platform::programFolder();
    // The tiles are read ahead through the serializer pool; the writes stay one at a time.
    SerzPool pool(SerzPool::jobsFromEnvironment(), SubstituteWorkFolder(), programFolder);
    for (const QString& name : names)
        pool.add({folder + QLatin1Char('\\') + name, NameBase(name) + QStringLiteral("xml")});
    for (qsizetype k = 0; k < names.size(); ++k) {
        if (progress.tileStarted)
            progress.tileStarted(k);
        const QString tile = folder + QLatin1Char('\\') + names[k];
        const QString base = work + NameBase(names[k]);
        const QString xmlPath = base + QStringLiteral("xml");
        const QString binPath = base + QStringLiteral("bin");
        ui().doEvents();
        try {
            ++counts.tiles;
            QElapsedTimer timer;
            timer.start();
            const SerzOutcome& read = pool.take(k);
            ++counts.serializerRuns;
            counts.serializerNs += timer.nsecsElapsed();
            ui().doEvents();
            if (!read.result) {
                unchanged.append({tile, read.result.error});
                pool.release(k);
                continue;
            }
            QString text;
            ReadTextFile(read.output, text);
            pool.release(k);
            if (!ReplaceBlueprintReferences(text, request))
                continue; // nothing of it names the old blueprint: no write, no backup

            if (!WriteTextFile(xmlPath, text)) {
                unchanged.append({tile, QStringLiteral("The work file ") + xmlPath + QStringLiteral(" could not be written.")});
                continue;
            }
            const ConversionResult written = runSerz(xmlPath, serz::ToBin, binPath, programFolder);
            ui().doEvents();
            if (!written) {
                unchanged.append({tile, written.error});
                continue;
            }
            const ConversionResult replaced = ReplaceGameFile(binPath, tile);
            ui().doEvents();
            if (!replaced)
                unchanged.append({tile, replaced.error});
            else
                ++counts.changed;
        } catch (const VbError& error) {
            pool.release(k);
            unchanged.append({tile, error.description});
        } catch (const std::exception& error) {
            pool.release(k);
            unchanged.append({tile, QString::fromLocal8Bit(error.what())});
        }
    }
    if (stats)
        *stats = counts;
    return unchanged;
}

QString UnchangedTilesMessage(const QList<UnchangedTile>& tiles)
{
    QString text = QStringLiteral("These tiles could not be changed and have been left as they were:");
    for (const UnchangedTile& tile : tiles)
        text += QStringLiteral("\r\n") + tile.path + QStringLiteral(" - ") + tile.reason;
    return text;
}

} // namespace routes
