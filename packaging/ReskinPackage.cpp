#include "packaging/ReskinPackage.h"

#include "common/AnsiText.h"
#include "common/FileProcs.h"
#include "common/HandlerError.h"
#include "common/SharedState.h"
#include "common/VbError.h"
#include "packaging/PackageCommon.h"
#include "packaging/clsCRC.h"
#include "platform/Links.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace packaging {

namespace {

const QString kQuote = QStringLiteral("\"");
const QString kCrLf = QString::fromLatin1(ReskinPackage::kLineEnd);
// How many names a message lists before it only counts the rest.
constexpr qsizetype kListedNames = 20;

void reportNames(const QString& heading, const QStringList& names)
{
    if (names.isEmpty())
        return;
    QString text = heading;
    for (qsizetype i = 0; i < names.size() && i < kListedNames; ++i)
        text += kCrLf + names[i];
    if (names.size() > kListedNames)
        text += kCrLf + QStringLiteral("... and %1 more").arg(names.size() - kListedNames);
    exclaim(text);
}

// The text after the last separator ("\" or "/").
QString lastComponent(const QString& path)
{
    QString p = path;
    while (p.endsWith(QLatin1Char('\\')) || p.endsWith(QLatin1Char('/')))
        p.chop(1);
    const qsizetype cut = std::max(p.lastIndexOf(QLatin1Char('\\')), p.lastIndexOf(QLatin1Char('/')));
    return p.mid(cut + 1);
}

// A folder's files and sub-folders, each sorted by name ignoring case (names that differ
// only in case in their case order), so every machine walks them in one order. A link is what
// it leads to; one that leads nowhere, and a name that is no text, go to odd.
void listFolder(const QString& native, QList<platform::FolderEntry>& files, QList<platform::FolderEntry>& dirs,
                QList<platform::FolderEntry>& odd)
{
    files.clear();
    dirs.clear();
    odd.clear();
    for (const platform::FolderEntry& e : platform::folderEntries(native)) {
        if (!e.nameIsText || e.standing == platform::Standing::Nowhere)
            odd << e;
        else if (e.isFolder())
            dirs << e;
        else
            files << e;
    }
    const auto byName = [](const platform::FolderEntry& a, const platform::FolderEntry& b) {
        const int c = a.name.compare(b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.name < b.name;
    };
    std::sort(files.begin(), files.end(), byName);
    std::sort(dirs.begin(), dirs.end(), byName);
}

// Appends the text in the ANSI code page; a failure is told: a text the code page cannot hold
// (nothing is written) by what it holds, a file that cannot be written as error 75 of the handler.
bool appendAnsi(const QString& path, const QString& text)
{
    bool fits = true;
    const QByteArray bytes = platform::encodeAnsi(text, &fits);
    if (!fits) {
        exclaim(UnwritableTextMessage(path, text));
        return false;
    }
    QFile file(platform::nativePath(path));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(bytes) == bytes.size() && file.flush())
        return true;
    showHandlerError(ErrorSpelling::Description, VbError(75), QStringLiteral("Command5_Click"));
    return false;
}

bool makeFolder(const QString& path)
{
    QString p = path;
    if (FolderExists(p))
        return true;
    return QDir().mkpath(platform::nativePath(path));
}

} // namespace

QString GetCRC(const QString& file, bool* readable)
{
    if (readable)
        *readable = false;
    const QString native = platform::nativePath(file);
    if (!QFileInfo(native).isFile())
        return QStringLiteral("0");
    clsCRC crc;
    crc.setAlgorithm(1);
    std::optional<qint32> value;
    try {
        value = crc.CalculateFile(native);
    } catch (const VbError&) {
        return QStringLiteral("0");
    }
    if (readable)
        *readable = true;
    return value ? QString::number(quint32(*value), 16).toUpper() : QStringLiteral("0");
}

ReskinPackage::ReskinPackage()
{
    pace_.start();
}

void ReskinPackage::load()
{
    gamePath_ = shared().GamePath;
    AssetsRoot = gamePath_ + QStringLiteral("\\Assets");
}

void ReskinPackage::setReskinFolder(const QString& folder)
{
    ReskinFolder = folder;
    const QString below = PathBelow(gamePath_, folder);
    ReskinFolderFromGame = below.isNull() ? QString() : QStringLiteral("Rail Simulator\\") + below;
    reskinRoot_ = PathBelow(AssetsRoot, folder);
}

QString ReskinPackage::packageFolderPath()
{
    return platform::programFolder() + QLatin1Char('\\') + shared().PackageFolder;
}

void ReskinPackage::reset()
{
    sources_.clear();
    InstallText.clear();
    CopyText.clear();
    leftOut_.clear();
    unreadable_.clear();
    missing_.clear();
}

const ReskinSource* ReskinPackage::findSource(const QString& name) const
{
    const auto it = sources_.constFind(name.toCaseFolded());
    return it == sources_.cend() ? nullptr : &it.value();
}

void ReskinPackage::pace()
{
    if (pace_.elapsed() >= 40) {
        ui().doEvents();
        pace_.restart();
    }
}

bool ReskinPackage::Process(const QString& reskinFolder, const QString& sourceFolder)
{
    if (reskinFolder.isEmpty()) {
        exclaim(QStringLiteral("You do not appear to have selected the folder of your ReSkinned object."));
        return false;
    }
    if (sourceFolder.isEmpty()) {
        exclaim(QStringLiteral("You do not appear to have selected the folder of your Original object."));
        return false;
    }
    load();
    // Where the folders lead decides, however the lists reached them (a drive's own folder names
    // the game by another path than the game folder's text).
    const QString reskinBelow = gamePath_.isEmpty() ? QString() : PathBelowOnDisk(AssetsRoot, reskinFolder);
    const QString sourceBelow = gamePath_.isEmpty() ? QString() : PathBelowOnDisk(AssetsRoot, sourceFolder);
    if (reskinBelow.isEmpty() || sourceBelow.isEmpty()) {
        exclaim(QStringLiteral("The reskinned folder and the original folder must both lie in ") + gamePath_
                    + QStringLiteral("\\Assets."));
        return false;
    }
    // From here on both are named from the game folder, so the batch lines do not depend on the
    // way the folders were reached.
    const QString reskin = AssetsRoot + QLatin1Char('\\') + reskinBelow;
    const QString source = AssetsRoot + QLatin1Char('\\') + sourceBelow;
    SharedState& s = shared();
    const QString packageName =
        s.PackageFolder.isEmpty() ? PackageName(lastComponent(reskin), lastComponent(source)) : s.PackageFolder;
    // Every line of copyfiles.bat, its own "del" line included, names these folders: one the code
    // page cannot hold stops the run before anything is made or asked.
    const QString unwritable =
        FirstUnwritablePath({reskin, source, platform::programFolder() + QLatin1Char('\\') + packageName});
    if (!unwritable.isNull()) {
        exclaim(UnwritablePathMessage(unwritable) + kCrLf + QStringLiteral("Nothing has been packaged."));
        return false;
    }
    setReskinFolder(reskin);
    s.PackageFolder = packageName;
    const QString package = packageFolderPath();

    ui().doEvents();
    if (!makeFolder(package) || !makeFolder(package + QStringLiteral("\\Rail Simulator")))
        showHandlerError(ErrorSpelling::Description, VbError(76), QStringLiteral("Command5_Click"));

    // Each run packages this reskin alone: the table and the batch texts start empty.
    reset();
    WorkWithSubFolders(source);
    WorkWithorigFolders(reskin);
    reportNames(QStringLiteral("These files cannot be named in a batch file (a double quote, a \"\\\", \"..\" or \"%\" "
                               "in a name, a name of dots only, or a character the system's code page cannot write) "
                               "and are left out of the package:"),
                leftOut_);
    reportNames(QStringLiteral("The checksum of these files could not be computed; they are packaged as changed:"),
                unreadable_);
    reportNames(QStringLiteral("These files and folders are missing (a link that leads nowhere) and were neither "
                               "compared nor packaged:"),
                missing_);

    appendAnsi(package + QStringLiteral("\\Rail Simulator\\RS-Install.bat"), InstallText + kCrLf);
    ui().doEvents();

    const QString batch = package + QStringLiteral("\\copyfiles.bat");
    CopyText += kCrLf + QStringLiteral("del ") + kQuote + batch + kQuote + kCrLf;
    const bool written = appendAnsi(batch, CopyText + kCrLf);
    ui().doEvents();

    if (written) {
        const QString before = QDir::currentPath();
        QDir::setCurrent(platform::nativePath(package));
        ui().doEvents();
        const qint64 pid = ShellAndWait(kQuote + batch + kQuote, true, 0);
        QDir::setCurrent(before);
        if (pid == 0)
            showHandlerError(ErrorSpelling::Description, VbError(53), QStringLiteral("Command5_Click"));
        else if (lastExitStatus() != 0)
            showHandlerError(ErrorSpelling::Description, VbError(75), QStringLiteral("Command5_Click"));
    }

    ui().doEvents();
    const InstallerCopy installer = CopyInstallerTo(package + QStringLiteral("\\AssetSetup.exe"));
    if (installer.error != 0)
        showHandlerError(ErrorSpelling::Description,
                         installer.reason.isEmpty() ? VbError(installer.error) : VbError(installer.error, installer.reason),
                         QStringLiteral("Command5_Click"));

    const int answer = ui().msgBox(QStringLiteral("Your Reskins are now saved in ") + package + kCrLf
                                       + QStringLiteral("Do you wish them to be automatically zipped up ready for distribution?"),
                                   vb::vbYesNo + vb::vbInformation, Ui::programTitle());
    ui().doEvents();
    return answer == vb::vbYes;
}

void ReskinPackage::WorkWithSubFolders(const QString& folder)
{
    BusyPointer busy;
    ui().doEvents();
    pace_.restart();
    // A reskin kept inside its source folder is not part of the source: its files would
    // be their own counterparts and never reach the package.
    reskinCanonical_ = QFileInfo(platform::nativePath(ReskinFolder)).canonicalFilePath();
    const QString native = platform::nativePath(folder);
    platform::WalkWay way(native);
    walkSource(folder, native, way);
}

void ReskinPackage::walkSource(const QString& folder, const QString& native, platform::WalkWay& way)
{
    QList<platform::FolderEntry> files;
    QList<platform::FolderEntry> dirs;
    QList<platform::FolderEntry> odd;
    listFolder(native, files, dirs, odd);
    const QString below = PathBelow(AssetsRoot, folder);
    for (const platform::FolderEntry& e : std::as_const(odd)) {
        // A name that is no text is no counterpart of any reskinned file (that one is named).
        if (e.nameIsText)
            missing_ << folder + QLatin1Char('\\') + e.name;
    }
    for (const platform::FolderEntry& e : std::as_const(files)) {
        const QString& name = e.name;
        if (!BatchSafeName(name))
            continue; // no line can name it; a reskinned file of that name is left out too
        const QString key = name.toCaseFolded();
        if (!sources_.contains(key))
            sources_.insert(key, ReskinSource{name, below, QFileInfo(e.path).size()});
        pace();
    }
    for (const platform::FolderEntry& e : std::as_const(dirs)) {
        if (!reskinCanonical_.isEmpty() && QFileInfo(e.path).canonicalFilePath() == reskinCanonical_)
            continue;
        if (!BatchSafeName(e.name) || !way.enter(e))
            continue;
        walkSource(folder + QLatin1Char('\\') + e.name, e.path, way);
        way.leave();
    }
}

void ReskinPackage::WorkWithorigFolders(const QString& folder)
{
    BusyPointer busy;
    ui().doEvents();
    pace_.restart();
    package_ = packageFolderPath();
    const QString native = platform::nativePath(folder);
    platform::WalkWay way(native);
    walkReskin(folder, native, way);
}

void ReskinPackage::makeMirror(const QString& folder)
{
    const QString below = PathBelow(gamePath_, folder);
    if (below.isEmpty())
        return;
    const QString target = package_ + QStringLiteral("\\Rail Simulator\\") + below;
    if (!makeFolder(target))
        showHandlerError(ErrorSpelling::Description, VbError(76), QStringLiteral("WorkWithorigFolders"));
}

void ReskinPackage::walkReskin(const QString& folder, const QString& native, platform::WalkWay& way)
{
    makeMirror(folder);
    QList<platform::FolderEntry> files;
    QList<platform::FolderEntry> dirs;
    QList<platform::FolderEntry> odd;
    listFolder(native, files, dirs, odd);
    const QString sub = PathBelow(ReskinFolder, folder);
    for (const platform::FolderEntry& e : std::as_const(odd))
        (e.nameIsText ? missing_ : leftOut_) << folder + QLatin1Char('\\') + e.name;
    for (const platform::FolderEntry& e : std::as_const(files)) {
        if (BatchSafeName(e.name))
            reskinFile(folder, sub, e.name, QFileInfo(e.path).size());
        else
            leftOut_ << folder + QLatin1Char('\\') + e.name;
        pace();
    }
    for (const platform::FolderEntry& e : std::as_const(dirs)) {
        // A folder whose name would lead elsewhere in a path is left out with all it holds; a
        // link back up the tree ends there.
        if (!BatchSafeName(e.name))
            leftOut_ << folder + QLatin1Char('\\') + e.name;
        else if (way.enter(e)) {
            walkReskin(folder + QLatin1Char('\\') + e.name, e.path, way);
            way.leave();
        }
    }
}

void ReskinPackage::reskinFile(const QString& folder, const QString& sub, const QString& name, qint64 size)
{
    const QString path = folder + QLatin1Char('\\') + name;
    const ReskinSource* source = findSource(name);
    bool identical = false;
    // Files of different sizes differ whatever their checksums.
    if (source && source->size == size) {
        const QString sourcePath = AssetsRoot + QLatin1Char('\\') + source->folder + QLatin1Char('\\') + source->name;
        bool mineRead = false;
        bool theirsRead = false;
        const QString mine = GetCRC(path, &mineRead);
        const QString theirs = GetCRC(sourcePath, &theirsRead);
        if (!mineRead || !theirsRead)
            unreadable_ << (mineRead ? sourcePath : path);
        else
            identical = mine.compare(theirs, Qt::CaseInsensitive) == 0;
    }

    if (identical) {
        const QString from = QStringLiteral("Assets\\") + source->folder + QLatin1Char('\\') + source->name;
        const QString to = QStringLiteral("Assets\\") + reskinRoot_ + QLatin1Char('\\') + sub
            + QLatin1Char('\\') + source->name;
        // The receiving machine's command interpreter would expand a "%" anywhere in the line.
        if (!BatchSafePath(from) || !BatchSafePath(to) || from.contains(QLatin1Char('%'))
            || to.contains(QLatin1Char('%'))) {
            leftOut_ << path;
            return;
        }
        InstallText += QStringLiteral("copy ") + kQuote + from + kQuote + QLatin1Char(' ') + kQuote + to + kQuote + kCrLf;
        return;
    }

    const QString to = package_ + QLatin1Char('\\') + ReskinFolderFromGame + QLatin1Char('\\') + sub
        + QLatin1Char('\\') + (source ? source->name : name);
    if (!BatchSafePath(path) || !BatchSafePath(to)) {
        leftOut_ << path;
        return;
    }
    CopyText += QStringLiteral("copy ") + kQuote + path + kQuote + QLatin1Char(' ') + kQuote + to + kQuote + kCrLf;
}

} // namespace packaging
