#include "assets/AssetList.h"

#include "common/AssetPath.h"
#include "common/FileProcs.h"
#include "common/GameReference.h"
#include "common/Serializer.h"
#include "common/SerzPool.h"
#include "common/TagText.h"
#include "common/TempFiles.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "common/Wildcard.h"
#include "platform/Links.h"
#include "platform/Paths.h"
#include "platform/Rename.h"
#include "platform/Ui.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <vector>

namespace assets {

namespace tw = tags::assetWindow;
using vb::Compare;
using vb::InStr;

namespace {

constexpr int kInvalidCall = 5;
constexpr int kInputPastEnd = 62;
constexpr qint64 kEventIntervalMs = 40;

const QString kTab = QStringLiteral("\t");

bool lessIgnoringCase(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

// The text of the element tag read from the first "<" & tag; "" when there is none.
QString elementText(const QString& text, const QString& tag)
{
    qsizetype pos = InStr(1, text, QLatin1Char('<') + tag, Compare::Text);
    if (pos == 0)
        return QString();
    QString value;
    tw::GetDetail(text, pos, tag, value);
    return value;
}

QString scenarioFlag(const QString& text)
{
    if (InStr(1, text, QStringLiteral("<ValidInScenarios"), Compare::Text) == 0)
        return QString();
    const QString value = elementText(text, QStringLiteral("ValidInScenarios"));
    if (value.compare(QLatin1String("eFalse"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("No");
    if (value.compare(QLatin1String("eTrue"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Yes");
    return value;
}

bool contains(const QString& text, const char* what)
{
    return text.contains(QLatin1String(what), Qt::CaseInsensitive);
}

// One walk: the shared state of both walkers. The tree is listed first and then worked
// through in the listing's order, so that the serializer pool can convert the blueprints
// ahead of the work.
class Walker {
public:
    Walker(const QString& pattern, const QString& gamePath, const WalkCallbacks& callbacks)
        : pattern_(pattern), gamePath_(gamePath), cb_(callbacks)
    {
        timer_.start();
    }

    // Blueprint mode: each file converted and classified.
    void setBlueprints(const QString& categoryFilter, const QString& language)
    {
        blueprints_ = true;
        filter_ = categoryFilter;
        language_ = language;
        workFolder_ = TempFilesFolder(QStringLiteral("Tempfiles"));
        nativeWork_ = platform::nativePath(workFolder_);
        programFolder_ = platform::programFolder();
    }

    WalkResult run(const QString& folder)
    {
        std::optional<SerzPool> pool;
        if (blueprints_) {
            pool.emplace(SerzPool::jobsFromEnvironment(), workFolder_, programFolder_);
            pool->setStopCheck([this] { return cb_.stop && *cb_.stop; });
            pool_ = &*pool;
        }
        const QString nativeFolder = platform::nativePath(folder);
        way_.emplace(nativeFolder);
        list(folder, nativeFolder);
        for (const Step& step : steps_) {
            if (!work(step))
                break;
        }
        pool_ = nullptr;
        if (!result_.abandoned && !namesNotText_.isEmpty())
            exclaim(NamesNotTextMessage(namesNotText_, QStringLiteral("listed")));
        return result_;
    }

private:
    // What the walk does, in order: enter a folder (stop check, folder lists), show a folder
    // again after its sub-folders, or list one file.
    struct Step {
        enum Kind { Enter, Again, File } kind = Enter;
        QString folder;      // Enter, Again: the folder; File: its full path
        QStringList files;   // Enter, Again
        QString nativeFile;  // File
        QString name;        // File
        qsizetype ticket = -1; // File, blueprint mode: its conversion
    };

    bool stopped()
    {
        if (cb_.stop && *cb_.stop)
            result_.abandoned = true;
        return result_.abandoned;
    }

    // Window events at most every 40 ms: processing them after every file of a large folder
    // would cost more than the listing itself.
    void events()
    {
        if (!cb_.events)
            return;
        if (timer_.elapsed() >= kEventIntervalMs) {
            cb_.events();
            timer_.restart();
        }
    }

    // Lists the folder once: its sub-folders (every one, linked or not, but a loop) and its
    // matching files, both sorted by name ignoring case; the last sub-folder first, depth-first.
    // A name that is not text is named at the end instead: nothing can open it by a path.
    void list(const QString& folder, const QString& nativeFolder)
    {
        const bool endsInSeparator = folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/'));
        const QString prefix = endsInSeparator ? folder : folder + QLatin1Char('\\');
        QList<platform::FolderEntry> subFolders;
        QStringList files;
        for (const platform::FolderEntry& entry : platform::folderEntries(nativeFolder)) {
            if (entry.name.startsWith(QLatin1Char('.')))
                continue; // hidden
            const bool taken = entry.isFolder() || (entry.isFile() && wildcardMatchAny(pattern_, entry.name));
            if (taken && !entry.nameIsText)
                namesNotText_ << prefix + entry.name;
            else if (entry.isFolder())
                subFolders << entry;
            else if (taken)
                files << entry.name;
        }
        std::sort(subFolders.begin(), subFolders.end(),
                  [](const platform::FolderEntry& a, const platform::FolderEntry& b) { return lessIgnoringCase(a.name, b.name); });
        std::sort(files.begin(), files.end(), lessIgnoringCase);

        steps_.push_back(Step{Step::Enter, folder, files, {}, {}, -1});
        const QString nativePrefix = nativeFolder.endsWith(QLatin1Char('/')) ? nativeFolder : nativeFolder + QLatin1Char('/');
        bool walkedBelow = false;
        for (qsizetype i = subFolders.size() - 1; i >= 0; --i) {
            const platform::FolderEntry& sub = subFolders.at(i);
            if (!way_->enter(sub))
                continue;
            walkedBelow = true;
            list(prefix + sub.name, sub.path);
            way_->leave();
        }
        if (walkedBelow)
            steps_.push_back(Step{Step::Again, folder, files, {}, {}, -1});
        for (const QString& name : files) {
            Step step{Step::File, prefix + name, {}, nativePrefix + name, name, -1};
            if (blueprints_)
                step.ticket = queueBlueprint(step);
            steps_.push_back(step);
        }
    }

    // Returns false when abandoned.
    bool work(const Step& step)
    {
        switch (step.kind) {
        case Step::Enter:
            if (stopped())
                return false;
            if (cb_.folder)
                cb_.folder(step.folder, step.files);
            events();
            return true;
        case Step::Again:
            if (cb_.folder)
                cb_.folder(step.folder, step.files);
            return true;
        case Step::File:
            break;
        }
        if (stopped())
            return false;
        ++result_.filesSeen;
        const bool kept = blueprints_ ? listBlueprint(step) : listFile(step.folder);
        if (!kept)
            return false;
        events();
        return true;
    }

    // Appends a row; false (after the message) when the grid takes no more.
    bool add(const AssetRow& row)
    {
        if (cb_.addRow && !cb_.addRow(row)) {
            ui().msgBox(QStringLiteral("You've filled the list box. Abandoning search..."), vb::vbOKOnly);
            result_.abandoned = true;
            return false;
        }
        ++result_.rowsAdded;
        return true;
    }

    // A file whose path cannot be cut into provider, product and path (one lying directly in
    // "Assets" or in a provider folder, or outside "Assets") is not listed; the run-time error
    // that cut gives is shown and the walk goes on.
    bool split(const QString& fullPath, AssetRow& row)
    {
        if (SplitListedPath(fullPath, gamePath_, row))
            return true;
        ui().msgBox(VbError(kInvalidCall).description, vb::vbOKOnly);
        return false;
    }

    bool listFile(const QString& fullPath)
    {
        AssetRow row;
        if (!split(fullPath, row))
            return true;
        return add(row);
    }

    // The conversion of a file to list: the file is copied into a slot's folder under its own
    // name and the copy converted there. -1 for a file that is not converted.
    qsizetype queueBlueprint(const Step& step)
    {
        AssetRow row;
        if (!SplitListedPath(step.folder, gamePath_, row))
            return -1;
        const QString copy = workFolder_ + QLatin1Char('\\') + step.name;
        const QString workXml = copy.left(copy.size() - 3) + QStringLiteral("xml");
        if (workXml.compare(copy, Qt::CaseInsensitive) == 0)
            return -1; // the copy would be its own output
        return pool_->add({step.nativeFile, xmlName(step.name), step.name});
    }

    static QString xmlName(const QString& name) { return name.left(name.size() - 3) + QStringLiteral("xml"); }

    // Puts a slot's file in place of the work copy of that name in Tempfiles, which is kept
    // until the next load; an empty slot file only removes the old work copy.
    void keep(const QString& slotFile, const QString& name)
    {
        const QString kept = nativeWork_ + QLatin1Char('/') + name;
        QFile::remove(kept);
        if (!slotFile.isEmpty())
            platform::renameFile(platform::nativePath(slotFile), kept, platform::RenameMode::ReplaceExisting);
    }

    bool listBlueprint(const Step& step)
    {
        // Everything below starts empty for each file.
        AssetRow row;
        if (!split(step.folder, row) || step.ticket < 0)
            return true;
        const QString copy = workFolder_ + QLatin1Char('\\') + step.name;
        const QString workXml = copy.left(copy.size() - 3) + QStringLiteral("xml");
        if (!QFileInfo::exists(nativeWork_) && !EnsureTempFiles())
            return true;

        QElapsedTimer serz;
        serz.start();
        const SerzOutcome& converted = pool_->take(step.ticket);
        keep(converted.copied ? converted.copy : QString(), step.name);
        if (!converted.copied) {
            pool_->release(step.ticket);
            return true;
        }
        keep(converted.result.ok ? converted.output : QString(), xmlName(step.name));
        pool_->release(step.ticket);
        result_.serializerNs += serz.nsecsElapsed();
        ++result_.serializerRuns;
        if (!converted.result.ok)
            return true;

        QString text;
        try {
            ReadTextFile(workXml, text);
            if (!MakeBlueprintRow(text, filter_, language_, row))
                return true;
        } catch (const VbError& error) {
            if (error.number != kInputPastEnd)
                ui().msgBox(error.description, vb::vbOKOnly);
            return true;
        }
        return add(row);
    }

    QString pattern_;
    QString gamePath_;
    const WalkCallbacks& cb_;
    QElapsedTimer timer_;
    WalkResult result_;
    std::optional<platform::WalkWay> way_;
    QStringList namesNotText_; // files to list and folders whose names are not text

    bool blueprints_ = false;
    QString filter_;
    QString language_;
    QString workFolder_;
    QString nativeWork_;
    QString programFolder_;
    SerzPool* pool_ = nullptr;
    std::vector<Step> steps_;
};

} // namespace

QString AssetRow::text() const
{
    return provider + kTab + product + kTab + path + kTab + name + kTab + inScenarios + kTab + category;
}

bool SplitListedPath(const QString& fullPath, const QString& gamePath, AssetRow& row)
{
    row = AssetRow();
    return SplitAssetPath(fullPath, gamePath, row.provider, row.product, row.path);
}

QString GetAssetName(const QString& xmlText, const QString& language)
{
    const qsizetype p = InStr(1, xmlText, QLatin1Char('<') + language, Compare::Text);
    if (p == 0)
        return QString();
    const qsizetype q = InStr(p, xmlText, QStringLiteral(">"), Compare::Binary);
    const qsizetype r = q == 0 ? 0 : InStr(q, xmlText, QStringLiteral("</"), Compare::Binary);
    // An element that never ends names nothing.
    if (r == 0)
        return QString();
    QString name = xmlText.mid(q, r - q - 1);
    bool changed = false;
    tw::UnEscapeText(name, changed);
    return name.isEmpty() ? QStringLiteral("No Name") : name;
}

Classification ClassifyBlueprint(const QString& xmlText)
{
    Classification c;
    const auto has = [&xmlText](const char* tag) {
        return InStr(1, xmlText, QLatin1String(tag), Compare::Text) != 0;
    };
    if (has("<Category")) {
        c.category = elementText(xmlText, QStringLiteral("Category"));
        if (c.category.startsWith(QLatin1Char('e')))
            c.category.remove(0, 1);
        c.inScenarios = scenarioFlag(xmlText);
    } else if (has("<EngineType")) {
        c.category = elementText(xmlText, QStringLiteral("EngineType"));
        c.inScenarios = QStringLiteral("Yes");
    } else if (has("<cWagonBlueprint")) {
        c.category = contains(xmlText, "Passenger") ? QStringLiteral("Passenger") : QStringLiteral("Freight Wagon");
        c.inScenarios = QStringLiteral("Yes");
    } else if (has("<cTenderBlueprint")) {
        c.category = QStringLiteral("Tender");
        c.inScenarios = QStringLiteral("Yes");
    } else {
        c.inScenarios = scenarioFlag(xmlText);
    }
    if (c.inScenarios.isEmpty())
        c.inScenarios = QStringLiteral("No");
    return c;
}

bool MakeBlueprintRow(const QString& xmlText, const QString& categoryFilter, const QString& language, AssetRow& row)
{
    if (xmlText.isEmpty())
        return false;
    const QString name = GetAssetName(xmlText, language);
    if (name.isEmpty() || name == QLatin1String("No Name"))
        return false;
    const Classification c = ClassifyBlueprint(xmlText);
    if (!categoryFilter.isEmpty() && !c.category.contains(categoryFilter, Qt::CaseInsensitive))
        return false;
    row.name = name;
    row.inScenarios = c.inScenarios;
    row.category = c.category;
    return !contains(row.text(), "simulation");
}

QString EffectivePattern(const QString& boxText)
{
    return boxText.isEmpty() ? AllFilesPattern : boxText;
}

bool IsUsablePattern(const QString& pattern)
{
    for (const QChar c : pattern) {
        if (QStringView(u"\\/:<>|\"").contains(c))
            return false;
    }
    return true;
}

bool IsBlueprintPattern(const QString& pattern)
{
    return pattern.right(3).compare(QLatin1String("bin"), Qt::CaseInsensitive) == 0;
}

WalkResult ListBlueprintFiles(const QString& folder, const QString& pattern, const QString& categoryFilter,
                              const QString& language, const QString& gamePath, const WalkCallbacks& callbacks)
{
    EnsureTempFiles();
    Walker walker(pattern, gamePath, callbacks);
    walker.setBlueprints(categoryFilter, language);
    return walker.run(folder);
}

WalkResult ListAssetFiles(const QString& folder, const QString& pattern, const QString& gamePath,
                          const WalkCallbacks& callbacks)
{
    Walker walker(pattern, gamePath, callbacks);
    return walker.run(folder);
}

WalkResult AddToList(const QString& folder, const QString& patternBox, const QString& categoryFilter,
                     const QString& language, const QString& gamePath, const WalkCallbacks& callbacks)
{
    const QString pattern = EffectivePattern(patternBox);
    if (IsBlueprintPattern(pattern))
        return ListBlueprintFiles(folder, pattern, categoryFilter, language, gamePath, callbacks);
    return ListAssetFiles(folder, pattern, gamePath, callbacks);
}

QString TotalItemsText(int count)
{
    return QStringLiteral("Total items = ") + QString::number(count);
}

QString ClearedTotalText()
{
    return QStringLiteral("Total Items = 0 ");
}

} // namespace assets
