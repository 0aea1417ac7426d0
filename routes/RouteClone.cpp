#include "routes/RouteClone.h"

#include "common/AnsiText.h"
#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/ScenarioEntries.h"
#include "common/Serializer.h"
#include "common/SharedState.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "routes/RouteList.h"
#include "scenarios/ScenarioSave.h"

#include <QDir>

#include <exception>


namespace routes {

namespace {

using gametext::kDevStringStart;
const QString kEntryStart = QStringLiteral("<cRouteProperties");
const QString kEntryEnd = QStringLiteral("</cRouteProperties>");
const QString kUuidStart = QStringLiteral("<UUID>");
const QString kUuidEnd = QStringLiteral("</UUID");

const QString kNotCloned = QStringLiteral("\r\nThe route has not been cloned.");

// The position of the "</e" that closes the "e" element PutDetail would find from p, or 0.
qsizetype closeOfElementFrom(const QString& text, qsizetype p, const QString& tag)
{
    const qsizetype open = vb::InStrText(p, text, QLatin1Char('<') + tag);
    if (open == 0)
        return 0;
    const qsizetype gt = vb::InStrText(open, text, QStringLiteral(">"));
    if (gt == 0)
        return 0;
    return vb::InStrText(gt, text, QStringLiteral("</") + tag);
}

// PutDetail that leaves pos at the end tag of the element it wrote, as the text now stands, so
// that the next search goes on from there whatever the length of the old value was.
void putAndFollow(QString& text, qsizetype& pos, const QString& tag, const QString& value)
{
    QString old;
    qsizetype probe = pos;
    try {
        tags::routeList::GetDetail(text, probe, tag, old);
    } catch (const VbError&) {
        pos = 0;
        return;
    }
    if (probe == 0) {
        pos = 0;
        return;
    }
    tags::routeList::PutDetail(text, pos, tag, value);
    if (pos > 0)
        pos += value.size() - old.size();
}

QString routesXmlPath()
{
    return shared().GamePath + QStringLiteral("\\Content\\Routes.xml");
}

QString workFolder()
{
    return TempFilesFolder();
}

void tell(const QString& text)
{
    ui().setMousePointer(vb::vbDefault);
    exclaim(text);
}

bool sameName(const QString& answer, const QString& oldName)
{
    return answer.compare(oldName, Qt::CaseInsensitive) == 0
           || scenarios::escapeBoxText(answer).compare(oldName, Qt::CaseInsensitive) == 0;
}

// Asks for the new name until it differs from the old one; "" when the user gives up.
QString askNewName(const QString& oldName)
{
    for (;;) {
        const QString answer =
            ui().inputBox(QStringLiteral("Type name for new route"), QStringLiteral("Name of New Route"), oldName);
        if (answer.isEmpty())
            return QString();
        if (!sameName(answer, oldName))
            return answer;
        if (ui().msgBox(QStringLiteral("You have not selected a new name for your cloned route?"),
                        vb::vbOKCancel + vb::vbExclamation)
            != vb::vbOK)
            return QString();
    }
}

} // namespace

RouteEntryFault FindRouteEntry(const QString& text, const QString& folder, RouteEntry& entry)
{
    const ScenarioEntry found = FindDevStringEntry(text, folder, kEntryStart, kEntryEnd, true);
    if (!found)
        return RouteEntryFault::NotFound;
    const qsizetype a = found.start;
    const qsizetype q = found.devString;
    // The UUID numbers stand inside "<UUID>", and the "DevString" after them is the one that
    // names this folder.
    const qsizetype u = vb::InStrText(a, text, kUuidStart);
    const qsizetype uEnd = u > 0 ? vb::InStrText(u, text, kUuidEnd) : 0;
    if (u == 0 || uEnd == 0 || uEnd > q)
        return RouteEntryFault::NoUuid;
    qsizetype p = u;
    for (int k = 0; k < 2; ++k) {
        p = closeOfElementFrom(text, p, QStringLiteral("e"));
        if (p == 0 || p > uEnd)
            return RouteEntryFault::NoUuid;
    }
    if (vb::InStrText(p, text, kDevStringStart) != q)
        return RouteEntryFault::NoUuid;
    entry.start = a;
    entry.end = found.end + kEntryEnd.size();
    entry.uuid = u;
    entry.devString = q;
    return RouteEntryFault::None;
}

QString ReplaceInElementTexts(const QString& xml, const QString& oldName, const QString& newName)
{
    if (oldName.isEmpty())
        return xml;
    QString out;
    out.reserve(xml.size() + xml.size() / 16);
    qsizetype i = 0;
    const qsizetype n = xml.size();
    while (i < n) {
        if (xml.at(i) == QLatin1Char('<')) {
            // A tag, with its name and attributes, is copied as it is.
            qsizetype gt = xml.indexOf(QLatin1Char('>'), i);
            gt = gt < 0 ? n : gt + 1;
            out += QStringView(xml).mid(i, gt - i);
            i = gt;
        } else {
            qsizetype lt = xml.indexOf(QLatin1Char('<'), i);
            if (lt < 0)
                lt = n;
            QString segment = xml.mid(i, lt - i);
            segment.replace(oldName, newName, Qt::CaseInsensitive);
            out += segment;
            i = lt;
        }
    }
    return out;
}

bool RewriteRouteEntry(QString& entry, const QString& oldName, const QString& newXmlName, const QString& guid,
                       const QString& half1, const QString& half2)
{
    QString out = ReplaceInElementTexts(entry, oldName, newXmlName);
    qsizetype p = vb::InStrText(1, out, kUuidStart);
    putAndFollow(out, p, QStringLiteral("e"), half1);
    putAndFollow(out, p, QStringLiteral("e"), half2);
    putAndFollow(out, p, QStringLiteral("DevString"), guid);
    if (p == 0)
        return false;
    entry = out;
    return true;
}

RouteEntryFault CloneRouteEntry(const QString& routesXml, const QString& folder, const QString& oldName,
                                const QString& newName, const QString& guid, const QString& half1,
                                const QString& half2, QString& newText)
{
    RouteEntry entry;
    const RouteEntryFault fault = FindRouteEntry(routesXml, folder, entry);
    if (fault != RouteEntryFault::None)
        return fault;
    QString clone = routesXml.mid(entry.start - 1, entry.end - entry.start);
    if (!RewriteRouteEntry(clone, oldName, scenarios::escapeBoxText(newName), guid, half1, half2))
        return RouteEntryFault::NoUuid;
    QString text;
    text.reserve(routesXml.size() + clone.size());
    text += QStringView(routesXml).left(entry.start - 1);
    text += clone;
    text += QStringView(routesXml).mid(entry.start - 1);
    newText = text;
    return RouteEntryFault::None;
}

QString CloneBatchLine(const QString& sourceFolder, const QString& newFolder)
{
    const QChar quote = QLatin1Char('"');
    return QStringLiteral("call xcopy ") + quote + sourceFolder + QStringLiteral("\\*.*") + quote + QLatin1Char(' ')
           + quote + newFolder + QStringLiteral("\\*.*") + quote + QStringLiteral(" /s /y\r\n");
}

QString CloneRoute(const QString& routeFolder, const QString& oldName, const std::function<void()>& written)
{
    SharedState& s = shared();
    BusyPointer pointer;

    // A fresh work folder.
    tags::routeList::DelAll(workFolder());
    ui().doEvents();
    QDir().mkpath(platform::nativePath(workFolder()));

    const QString newName = askNewName(oldName);
    if (newName.isEmpty())
        return QString();

    const QString routesPath = routesXmlPath();
    if (!IsUsableFolderName(routeFolder)) {
        tell(QStringLiteral("The route folder \"") + routeFolder
             + QStringLiteral("\" does not name a folder of its own below Content\\Routes.") + kNotCloned);
        return QString();
    }

    QString newFolder;
    try {
        // Everything that can refuse the clone is checked before anything is copied.
        QString routesXml;
        ReadTextFile(routesPath, routesXml);
        ui().doEvents();
        RouteEntry entry;
        switch (FindRouteEntry(routesXml, routeFolder, entry)) {
        case RouteEntryFault::NotFound:
            tell(QStringLiteral("The entry of the route folder ") + routeFolder + QStringLiteral(" was not found in ")
                 + routesPath + QLatin1Char('.') + kNotCloned);
            return QString();
        case RouteEntryFault::NoUuid:
            tell(QStringLiteral("The entry of the route folder ") + routeFolder + QStringLiteral(" in ") + routesPath
                 + QStringLiteral(" has no UUID numbers or no DevString after them.") + kNotCloned);
            return QString();
        case RouteEntryFault::None:
            break;
        }
        if (BackupName(routesPath + QStringLiteral(".bak")).isEmpty()) {
            tell(backupNamesInUseMessage(routesPath) + kNotCloned);
            return QString();
        }

        QString half1;
        QString half2;
        const QString guid = NewGuid(half1, half2);
        QString newText;
        if (guid.isEmpty()
            || CloneRouteEntry(routesXml, routeFolder, oldName, newName, guid, half1, half2, newText)
                   != RouteEntryFault::None) {
            tell(QStringLiteral("No new identity could be made for the route.") + kNotCloned);
            return QString();
        }

        const QString sourcePath = s.GamePath + QStringLiteral("\\Content\\Routes\\") + routeFolder;
        const QString newPath = s.GamePath + QStringLiteral("\\Content\\Routes\\") + guid;
        // The copy's batch line names both folders: one the code page cannot hold stops the clone
        // before anything is made.
        const QString unwritable = FirstUnwritablePath({sourcePath, newPath});
        if (!unwritable.isNull()) {
            tell(UnwritablePathMessage(unwritable) + QStringLiteral("\r\n") + routesPath
                 + QStringLiteral(" has not been changed.") + kNotCloned);
            return QString();
        }
        if (!QDir().mkpath(platform::nativePath(newPath))) {
            tell(QStringLiteral("The folder ") + newPath + QStringLiteral(" could not be made.") + kNotCloned);
            return QString();
        }
        newFolder = newPath;
        ui().doEvents();

        // The copy, by the command interpreter.
        const QString batchFolder = TempFilesFolder(QStringLiteral("Tempfiles"));
        const QString batchFile = batchFolder + QStringLiteral("\\do_clone.bat");
        if (!WriteTextFile(batchFile, CloneBatchLine(sourcePath, newPath))) {
            tags::routeList::DelAll(newFolder);
            return QString();
        }
        QDir::setCurrent(platform::nativePath(batchFolder));
        const qint64 started = ShellAndWait(QStringLiteral("do_clone.bat"), true, 1);
        const int status = lastExitStatus();
        ui().doEvents();
        if (started == 0 || status != 0) {
            tags::routeList::DelAll(newFolder);
            tell((started == 0 ? QStringLiteral("The copy of ") + sourcePath + QStringLiteral(" could not be started.")
                               : QStringLiteral("The copy of ") + sourcePath + QStringLiteral(" failed (exit status ")
                                     + QString::number(status) + QStringLiteral(")."))
                 + QStringLiteral("\r\n") + routesPath + QStringLiteral(" has not been changed.") + kNotCloned);
            return QString();
        }

        // The write-back: the game's list is replaced whole, with a backup, or not at all.
        const QString workCopy = workFolder() + QStringLiteral("\\Routes.xml");
        if (!WriteTextFile(workCopy, newText)) {
            tags::routeList::DelAll(newFolder);
            return QString();
        }
        ui().doEvents();
        const ConversionResult replaced = ReplaceGameFile(workCopy, routesPath);
        ui().doEvents();
        if (!replaced) {
            tags::routeList::DelAll(newFolder);
            tell(replaced.error + kNotCloned);
            return QString();
        }
        newFolder.clear(); // the route is complete: it stays
        if (written)
            written();
        ui().setMousePointer(vb::vbDefault);
        ui().msgBox(QStringLiteral("Your Route has been Duplicated as requested."), vb::vbOKOnly + vb::vbInformation);
        return guid;
    } catch (const VbError& error) {
        if (!newFolder.isEmpty())
            tags::routeList::DelAll(newFolder);
        tell(QStringLiteral("An Error ") + error.description + QStringLiteral(" occurred while cloning the route.")
             + kNotCloned);
    } catch (const std::exception&) {
        if (!newFolder.isEmpty())
            tags::routeList::DelAll(newFolder);
        tell(QStringLiteral("An Error occurred while cloning the route.") + kNotCloned);
    }
    return QString();
}

} // namespace routes
