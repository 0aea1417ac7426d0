#include "assets/CrewPassengers.h"

#include "assets/ChildEntries.h"
#include "common/FileProcs.h"
#include "common/GameTextConstants.h"
#include "common/TagText.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Paths.h"

#include <QHash>

namespace assets {

namespace {

using gametext::kCrLf;
using gametext::kChildren;
const QString kEmptyChildren = QStringLiteral("<Children/>");

constexpr vb::Compare kText = vb::Compare::Text;

bool contains(const QString& text, const QString& what)
{
    return text.contains(what, Qt::CaseInsensitive);
}

// The file name without its extension.
QString baseNameOf(const RowPaths& row)
{
    return row.baseWithDot.left(row.baseWithDot.size() - 1);
}

} // namespace

QString PassengerTemplateFor(const QString& baseName)
{
    for (const char* coach : {"BCK", "BFK", "GUARD"}) {
        if (contains(baseName, QString::fromLatin1(coach)))
            return PassengersTemplate3;
    }
    if (contains(baseName, QStringLiteral("Mk1")))
        return PassengersTemplate;
    return PassengersTemplate2;
}

bool InsertChildEntries(const QString& text, const QString& entries, QString& result)
{
    const qsizetype open = text.indexOf(kChildren, 0, Qt::CaseInsensitive);
    if (open >= 0) {
        qsizetype at = open + kChildren.size();
        if (QStringView(text).mid(at, 2) == kCrLf)
            at += 2;
        else if (at < text.size() && text.at(at) == QLatin1Char('\n'))
            at += 1;
        result = text.left(at) + entries + text.mid(at);
        return true;
    }
    const qsizetype empty = text.indexOf(kEmptyChildren, 0, Qt::CaseInsensitive);
    if (empty >= 0) {
        result = text.left(empty) + kChildren + entries + QStringLiteral("</Children>")
            + text.mid(empty + kEmptyChildren.size());
        return true;
    }
    return false;
}

QString TwinPath(const QString& fullPath, const QString& suffix)
{
    return fullPath.left(qMax<qsizetype>(0, fullPath.size() - 4)) + suffix + QStringLiteral(".bin");
}

QString PassengerTwinText(const QString& text, const QString& displayName)
{
    QString twin = text;
    const QString name = tags::escapeBoxText(displayName + PassengerTwinSuffix);
    qsizetype pos = vb::InStr(1, twin, QStringLiteral("<Name "), kText);
    if (pos == 0)
        return twin;
    tags::assetWindow::PutDetail(twin, pos, QStringLiteral("Name"), name);
    tags::assetWindow::PutDetail(twin, pos, QStringLiteral("English"), name);
    return twin;
}

QString DriverTwinText(const QString& text, const QString& displayName)
{
    // The names in the file are escaped as the display name was unescaped for the grid.
    const QString find = tags::escapeBoxText(displayName);
    if (find.isEmpty())
        return text;
    return vb::Replace(text, find, find + DriverTwinSuffix, 1, -1, kText);
}

ConductorFault AddConductor(const QString& text, QString& result)
{
    const qsizetype children = vb::InStr(1, text, kChildren, kText);
    if (children == 0)
        return ConductorFault::NoChildren;
    const qsizetype driver = vb::InStrText(children + 5, text, QStringLiteral(">Driver<"));
    if (driver == 0)
        return ConductorFault::NoDriver;
    const qsizetype begin = vb::InStrRev(text, kChildEntryStart, driver, kText);
    if (begin <= children)
        return ConductorFault::NoEntry;
    const qsizetype end = vb::InStrText(begin, text, kChildEntryEnd);
    if (end == 0 || end < driver)
        return ConductorFault::NoEntry;
    const qsizetype after = end + kChildEntryEnd.size(); // 1-based position after the end tag
    const QString entry = vb::Mid(text, begin, after - begin);

    QString copy = vb::Replace(entry, QStringLiteral(">Driver<"), QStringLiteral(">Conductor<"), 1, -1, kText);
    if (vb::InStr(1, copy, QStringLiteral("WP_04_02"), kText) != 0)
        copy = vb::Replace(copy, QStringLiteral("WP_04_02"), QStringLiteral("WP_04_01"), 1, -1, kText);

    const qsizetype list = vb::InStr(1, copy, QStringLiteral("<Element>"), kText);
    if (list == 0)
        return ConductorFault::NoValues;
    qsizetype v = list + 5;
    for (int i = 0; i < 13; ++i) {
        const qsizetype found = vb::InStrText(v, copy, QStringLiteral("<E "));
        if (found == 0)
            return ConductorFault::TooFewValues;
        v = found + 1;
    }
    const qsizetype gt = vb::InStrText(v, copy, QStringLiteral(">"));
    const qsizetype lt = gt == 0 ? 0 : vb::InStrText(gt + 1, copy, QStringLiteral("<"));
    if (lt == 0)
        return ConductorFault::TooFewValues;
    const QString value = vb::Mid(copy, gt + 1, lt - gt - 1);
    const QString turned = value.startsWith(QLatin1Char('-')) ? value.mid(1) : QLatin1Char('-') + value;
    copy = vb::Left(copy, gt) + turned + vb::Mid(copy, lt);

    result = vb::Left(text, begin - 1) + entry + copy + vb::Mid(text, after);
    return ConductorFault::None;
}

QString CrewWarning(CrewCommand command)
{
    switch (command) {
    case CrewCommand::Passengers:
        return QStringLiteral("This option will add Passengers to UK Passenger carriages supplied") + kCrLf
            + QStringLiteral("without Passengers. A full and empty set will be produced");
    case CrewCommand::Driver:
        return QStringLiteral("This option will add a Driver to 166 class DMOCLs") + kCrLf
            + QStringLiteral("A full and empty set will be produced");
    case CrewCommand::Conductor:
        break;
    }
    return QStringLiteral("This option will add a Conductor in the empty seat of US Diesels") + kCrLf;
}

QString NoChildrenMessage(const QString& fullPath)
{
    return fullPath + kCrLf + QStringLiteral("has no child entries to add to; it has not been changed.");
}

QString ConductorFaultMessage(ConductorFault fault, const QString& fullPath)
{
    QString why;
    switch (fault) {
    case ConductorFault::None:
        return QString();
    case ConductorFault::NoChildren:
        why = QStringLiteral("has no child entries");
        break;
    case ConductorFault::NoDriver:
    case ConductorFault::NoEntry:
        why = QStringLiteral("has no driver child entry to copy");
        break;
    case ConductorFault::NoValues:
    case ConductorFault::TooFewValues:
        why = QStringLiteral("has a driver child entry without the value to change");
        break;
    }
    return fullPath + kCrLf + why + QStringLiteral("; no conductor has been added to it.");
}

QString MissingTemplateMessage(const QString& templatePath)
{
    return QStringLiteral("The template ") + templatePath + QStringLiteral(" is missing or empty.") + kCrLf
        + QStringLiteral("Nothing more has been changed.");
}

EditResult CrewEdit(CrewCommand command, const RowPaths& row, const QString& text, const QString& displayName)
{
    EditResult result;
    if (command == CrewCommand::Conductor) {
        QString edited;
        const ConductorFault fault = AddConductor(text, edited);
        if (fault != ConductorFault::None) {
            result.message = ConductorFaultMessage(fault, row.fullPath);
            return result;
        }
        EditOutput output;
        output.text = edited;
        result.outputs.push_back(output);
        return result;
    }

    const bool passengers = command == CrewCommand::Passengers;
    const QString baseName = baseNameOf(row);
    const QString templatePath = TemplatePath(passengers ? PassengerTemplateFor(baseName) : DriverTemplate);
    QString entries;
    if (!ReadWholeTextFile(templatePath, entries)) {
        result.message = MissingTemplateMessage(templatePath);
        result.endRun = true;
        return result;
    }
    QString edited;
    if (!InsertChildEntries(text, entries, edited)) {
        result.message = NoChildrenMessage(row.fullPath);
        return result;
    }
    const QString suffix = passengers ? PassengerTwinSuffix : DriverTwinSuffix;

    EditOutput blueprint;
    blueprint.text = edited;
    EditOutput twin;
    twin.text = passengers ? PassengerTwinText(text, displayName) : DriverTwinText(text, displayName);
    twin.target = TwinPath(row.fullPath, suffix);
    twin.workName = baseName + suffix + QLatin1Char('.');
    twin.failedName = twin.workName + QStringLiteral("bin");
    // The blueprint first: a twin that cannot be placed takes the blueprint's change back.
    result.outputs.push_back(blueprint);
    result.outputs.push_back(twin);
    return result;
}

void SplitCrewRows(const std::vector<CrewRow>& rows, const QString& gamePath, std::vector<SelectedRow>& selected,
                   QHash<QString, QString>& names)
{
    for (const CrewRow& crew : rows) {
        selected.push_back(crew.row);
        RowPaths paths;
        if (MakeRowPaths(crew.row, gamePath, paths) && !names.contains(paths.fullPath))
            names.insert(paths.fullPath, vb::Trim(crew.displayName));
    }
}

PipelineResult RunCrewCommand(CrewCommand command, const std::vector<CrewRow>& rows, const QString& gamePath,
                              const PipelineHooks& hooks)
{
    std::vector<SelectedRow> selected;
    QHash<QString, QString> names; // full path -> display name
    SplitCrewRows(rows, gamePath, selected, names);
    return RunBlueprintEdit(
        selected, gamePath, StockEditOptions(CrewWarning(command)),
        [&](const RowPaths& row, const QString& text) { return CrewEdit(command, row, text, names.value(row.fullPath)); },
        hooks);
}

} // namespace assets
