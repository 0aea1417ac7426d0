#include "scenarios/ScenarioProperties.h"

#include "common/GameReference.h"
#include "common/TagText.h"
#include "common/Vb.h"
#include "common/VbError.h"
#include "platform/Ui.h"

#include <QStringList>

#include <exception>

namespace scenarios {

namespace ed = tags::scenarioEditor;
using vb::Compare;

// ---- loading steps ------------------------------------------------------------------------

QString LoadSteps::failureMessage(const QString& description, int a)
{
    return QStringLiteral("Error - ") + description + QStringLiteral(" occurred loading frmZelvorn Value of a=")
        + vb::Str(a);
}

void LoadSteps::run(const std::function<void()>& step)
{
    QString description;
    try {
        step();
        return;
    } catch (const VbError& error) {
        description = error.description;
    } catch (const std::exception& error) {
        description = QString::fromLocal8Bit(error.what());
    }
    ++failures_;
    if (quiet)
        return;
    exclaim(failureMessage(description, a));
}

// ---- captions -----------------------------------------------------------------------------

const std::array<QString, PropertyBoxCount>& propertyBoxCaptions()
{
    static const std::array<QString, PropertyBoxCount> captions{
        QStringLiteral("Display Name:"),
        QStringLiteral("Description"),
        QStringLiteral("Briefing"),
        QStringLiteral("Start Time (24 hour)"),
        QStringLiteral("Duration (mins)"),
        QStringLiteral("Start Day"),
        QStringLiteral("Start Month"),
        QStringLiteral("Start Year"),
        QStringLiteral("Season"),
        QStringLiteral("Weather Provider"),
        QStringLiteral("Weather Product"),
        QStringLiteral("Weather Blueprint"),
    };
    return captions;
}

const QStringList& seasonNames()
{
    static const QStringList names{QStringLiteral("SEASON_SPRING"), QStringLiteral("SEASON_SUMMER"),
                                   QStringLiteral("SEASON_AUTUMN"), QStringLiteral("SEASON_WINTER")};
    return names;
}

// ---- the properties block -----------------------------------------------------------------

ScenarioPropertiesRead readScenarioProperties(const QString& block, LoadSteps& steps)
{
    ScenarioPropertiesRead read;
    PropertyBoxes& box = read.boxes;

    read.isTimetable = vb::InStr(1, block, QStringLiteral("timetable"), Compare::Text) > 0;

    // One position and one result for the whole chain: a missing element leaves the value
    // read before it, and the position 0 it leaves makes every later read fail.
    qsizetype p = 0;
    QString s;

    steps.run([&] { p = vb::InStr(1, block, QStringLiteral("<DisplayName>"), Compare::Text); });
    steps.run([&] { ed::GetLocalisedText(block, p, s); });
    box[DisplayNameBox] = s;
    read.loadedName = s;
    steps.a = 3;
    steps.run([&] { p = vb::InStr(p, block, QStringLiteral("<Description>"), Compare::Text); });
    steps.run([&] { ed::GetLocalisedText(block, p, s); });
    box[DescriptionBox] = s;
    steps.a = 4;
    steps.run([&] { p = vb::InStr(p, block, QStringLiteral("<Briefing>"), Compare::Text); });
    steps.run([&] { ed::GetLocalisedText(block, p, s); });
    box[BriefingBox] = s;

    steps.run([&] { ed::GetDetail(block, p, QStringLiteral("StartTime"), s); });
    steps.a = 5;
    read.loadedStartTime = s;
    steps.run([&] { box[StartTimeBox] = startTimeText(s); });

    struct Chained {
        const char* tag;
        PropertyBox box;
    };
    static const Chained chain[] = {
        {"DurationMins", DurationBox},       {"StartDD", StartDayBox},      {"StartMM", StartMonthBox},
        {"StartYYYY", StartYearBox},         {"Season", SeasonBox},         {"Provider", WeatherProviderBox},
        {"Product", WeatherProductBox},      {"BlueprintID", WeatherBlueprintBox},
    };
    for (const Chained& element : chain) {
        steps.run([&] { ed::GetDetail(block, p, QString::fromLatin1(element.tag), s); });
        box[element.box] = s;
        if (element.box == DurationBox)
            steps.a = 6;
    }
    return read;
}

// ---- times --------------------------------------------------------------------------------

namespace {

QString twoDigits(double value)
{
    return vb::Format(value, QStringLiteral("00"));
}

// The seconds rounded to a whole number (halves to even), less whole hours, in minutes.
double minutesPastTheHour(const QString& seconds)
{
    const qint32 whole = vb::CLng(vb::Val(seconds));
    return double(whole % 3600) / 60.0;
}

} // namespace

QString startTimeText(const QString& seconds)
{
    const double hours = vb::Int(vb::Val(seconds) / 3600.0);
    const double minutes = vb::Round(minutesPastTheHour(seconds));
    return twoDigits(hours) + twoDigits(minutes);
}

QString consistStartTimeText(const QString& seconds)
{
    const double hours = vb::Int(vb::Val(seconds) / 3600.0);
    const double minutes = vb::Int(minutesPastTheHour(seconds));
    return twoDigits(hours) + twoDigits(minutes);
}

// ---- weather ------------------------------------------------------------------------------

QString weatherFolderOf(const QString& gamePath, const QString& provider, const QString& product)
{
    // Behind a link that leads nowhere (a disk that is not mounted) it is a missing folder.
    const QString folder = AssetsPathOrMissing(gamePath, provider + QLatin1Char('\\') + product + QStringLiteral("\\Weather"));
    return folder.isNull() ? gamePath + QStringLiteral("\\Assets") : folder;
}

bool splitWeatherPath(const QString& gamePath, const QString& folder, const QString& file, WeatherChoice& choice)
{
    if (file.isEmpty())
        return false;
    QString blueprintFile = file;
    if (vb::Right(blueprintFile, 3).compare(QLatin1String("bin"), Qt::CaseInsensitive) == 0)
        blueprintFile = vb::Left(blueprintFile, blueprintFile.size() - 3) + QStringLiteral("xml");

    const QString& d = folder;
    qsizetype from = 1;
    if (!gamePath.isEmpty() && d.startsWith(gamePath, Qt::CaseInsensitive))
        from = gamePath.size() + 1;
    const qsizetype a = vb::InStr(from, d, QStringLiteral("Assets"), Compare::Text);
    if (a == 0 || a + 7 > d.size())
        return false;
    const qsizetype b = vb::InStr(a + 7, d, QStringLiteral("\\"));
    if (b == 0 || b == a + 7 || b + 1 > d.size())
        return false; // no provider folder, or nothing after it
    const qsizetype c = vb::InStr(b + 1, d, QStringLiteral("\\"));
    if (c == b + 1)
        return false; // an empty product folder name

    WeatherChoice out;
    out.provider = vb::Mid(d, a + 7, b - a - 7);
    if (c == 0) {
        // The file lies in the product folder itself.
        out.product = vb::Mid(d, b + 1);
        out.blueprint = blueprintFile;
    } else {
        out.product = vb::Mid(d, b + 1, c - b - 1);
        out.blueprint = vb::Mid(d, c + 1) + QLatin1Char('\\') + blueprintFile;
    }
    choice = out;
    return true;
}

// ---- scenario type ------------------------------------------------------------------------

int setEveryTimetabled(QString& scenarioText, const QString& value)
{
    int written = 0;
    qsizetype p = 1;
    while (p > 0 && vb::InStr(p, scenarioText, QStringLiteral("<Timetabled"), Compare::Text) > 0) {
        ed::PutDetail(scenarioText, p, QStringLiteral("Timetabled"), value);
        if (p > 0)
            ++written;
    }
    return written;
}

} // namespace scenarios
