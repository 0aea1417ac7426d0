#include "assets/EnglishOnly.h"

#include "common/GameTextConstants.h"
#include "platform/Ui.h"

namespace assets {

namespace {

using gametext::kCrLf;
const QString kEnglishEnd = QStringLiteral("</English>");
const QString kLocalisationEnd = QStringLiteral("</Localisation");

} // namespace

QString EnglishOnlyText(const QString& text, const std::function<void()>& afterCut)
{
    // Positions are 0-based in the original text. The kept parts are appended as they are
    // found; `copied` is where the next kept part starts, `from` where the next search starts.
    QString out;
    out.reserve(text.size());
    qsizetype copied = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype tag = text.indexOf(kEnglishEnd, from, Qt::CaseInsensitive);
        if (tag < 0)
            break;
        // The character right after the tag stays; the removal starts after it.
        const qsizetype removal = tag + kEnglishEnd.size() + 1;
        const qsizetype closing = text.indexOf(kLocalisationEnd, removal, Qt::CaseInsensitive);
        if (closing < 0)
            break;
        const qsizetype lineFeed = text.lastIndexOf(QLatin1Char('\n'), closing);
        const QChar kept = text.at(removal - 1);
        const bool endsLine = kept == QLatin1Char('\r') || kept == QLatin1Char('\n');
        if (endsLine && lineFeed > removal) {
            out += QStringView(text).mid(copied, removal - copied);
            copied = lineFeed;
            from = lineFeed + 1;
        } else {
            // Something else on the tag's own line (a sibling, the closing tag): nothing here
            // can go without taking part of that line, or of a later element, with it.
            from = removal + 1;
        }
        if (afterCut)
            afterCut();
    }
    if (copied == 0)
        return text;
    out += QStringView(text).mid(copied);
    return out;
}

EditResult EnglishOnlyEdit(const RowPaths&, const QString& text)
{
    EditResult result;
    EditOutput output;
    output.text = EnglishOnlyText(text, [] { ui().doEvents(); });
    result.outputs.push_back(output);
    return result;
}

PipelineResult MakeEnglishOnly(const std::vector<SelectedRow>& rows, const QString& gamePath,
                               const PipelineHooks& hooks)
{
    PipelineOptions options = ProductEditOptions(EnglishOnlyWarning());
    options.cleanUp = true;
    return RunBlueprintEdit(rows, gamePath, options, EnglishOnlyEdit, hooks);
}

QString EnglishOnlyWarning()
{
    return QStringLiteral("This will remove all non-English entries from the items in question") + kCrLf
        + QStringLiteral("If you do not have a back-up of the folder you are about to alter, I suggest") + kCrLf
        + QStringLiteral("you make one before carrying out this procedure!");
}

} // namespace assets
