// The tag helpers of every window copy, at any position. The input is a short program of
// steps followed by the text they work on: each step picks a helper and its window copy, a
// position (0, negative, past the end, at a "<", anywhere), a tag name (a game tag, or a
// piece of the text) and a value. A run-time error (VbError) is a result, not a fault, where
// the helper may raise one; the helpers that promise never to raise one must not, and each
// keeps its promises about positions and an unchanged text.

#include "common/TagText.h"
#include "common/VbError.h"
#include "fuzz/FuzzSupport.h"
#include "platform/TextCodec.h"

using namespace tags;

namespace {

const char* const kTags[] = {"Name",      "English", "French",   "Italian",      "German",    "Spanish",
                             "StartTime", "e",       "DevString", "InitialLevel", "d:blob",    "Key",
                             "",          "N",       "cDeltaString", "Localisation-cDeltaString"};

struct Step {
    fuzz::Input& in;
    QString& text;

    qsizetype position()
    {
        const qsizetype n = text.size();
        switch (in.pick(8)) {
        case 0: return 0;
        case 1: return -qsizetype(in.byte());
        case 2: return n;
        case 3: return n + 1 + in.pick(3);
        case 4: { // at the k-th "<"
            qsizetype at = -1;
            for (int k = in.pick(16); k >= 0; --k) {
                at = text.indexOf(QLatin1Char('<'), at + 1);
                if (at < 0)
                    return 1;
            }
            return at + 1;
        }
        default: return n == 0 ? 1 : 1 + qsizetype((in.byte() << 8 | in.byte()) % n);
        }
    }
    QString tag()
    {
        if (in.pick(4) == 0 && !text.isEmpty()) { // a piece of the text
            const qsizetype from = qsizetype((in.byte() << 8 | in.byte()) % text.size());
            return text.mid(from, in.pick(12));
        }
        return QString::fromLatin1(kTags[in.pick(int(std::size(kTags)))]);
    }
    QString value() { return in.text(24); }
};

const Policy& copyPolicy(int copy)
{
    static const Policy* const all[] = {&hubPolicy, &routeListPolicy, &assetWindowPolicy, &markerConverterPolicy,
                                        &scenarioEditorPolicy, &scenarioEditorExactPolicy};
    return *all[copy];
}

QString where(const char* helper, int copy, const QString& before, qsizetype pos, const QString& tag)
{
    return QStringLiteral("%1 copy %2 pos %3 tag \"%4\" text \"%5\"")
        .arg(QLatin1String(helper)).arg(copy).arg(pos).arg(tag, fuzz::visible(before));
}

void checkPosition(const QString& text, qsizetype pos, const QString& context)
{
    FUZZ_CHECK(pos >= 0 && pos <= text.size(), QStringLiteral("position %1 of %2: ").arg(pos).arg(text.size()) + context);
}

void runStep(fuzz::Input& in, QString& text)
{
    Step s{in, text};
    const QString before = text;
    const int helper = in.pick(11);
    switch (helper) {
    case 0: { // PutDetail: hub, route list, asset window, marker converter, scenario editor
        const int copy = in.pick(5);
        qsizetype pos = s.position();
        const qsizetype start = pos;
        const QString tag = s.tag();
        const QString value = s.value();
        try {
            switch (copy) {
            case 0: tags::hub::PutDetail(text, pos, tag, value); break;
            case 1: routeList::PutDetail(text, pos, tag, value); break;
            case 2: assetWindow::PutDetail(text, pos, tag, value); break;
            case 3: markerConverter::PutDetail(text, pos, tag, value); break;
            default: scenarioEditor::PutDetail(text, pos, tag, value); break;
            }
        } catch (const VbError& e) {
            fuzz::fail("PutDetail raised a run-time error", QString::number(e.number) + QLatin1Char(' ')
                                                                 + where("PutDetail", copy, before, start, tag));
        }
        // The position is where the closing tag stood before the value changed.
        checkPosition(before, pos, where("PutDetail", copy, before, start, tag));
        if (pos == 0)
            FUZZ_CHECK(text == before, where("PutDetail changed the text and gave 0", copy, before, start, tag));
        break;
    }
    case 1: { // GetDetail: hub, route list, asset window, scenario editor, scenario editor exact
        const int copy = in.pick(5);
        qsizetype pos = s.position();
        const qsizetype start = pos;
        const QString tag = s.tag();
        QString result = QStringLiteral("kept");
        try {
            switch (copy) {
            case 0: tags::hub::GetDetail(text, pos, tag, result); break;
            case 1: routeList::GetDetail(text, pos, tag, result); break;
            case 2: assetWindow::GetDetail(text, pos, tag, result); break;
            case 3: scenarioEditor::GetDetail(text, pos, tag, result); break;
            default: scenarioEditor::GetDetailExact(text, pos, tag, result); break;
            }
        } catch (const VbError& e) {
            FUZZ_CHECK(e.number == 5, QString::number(e.number) + QLatin1Char(' ') + where("GetDetail", copy, before, start, tag));
            break;
        }
        checkPosition(text, pos, where("GetDetail", copy, before, start, tag));
        if (pos > 0)
            FUZZ_CHECK(result.size() < text.size(), where("GetDetail value longer than the text", copy, before, start, tag));
        break;
    }
    case 2: { // UnEscapeText: hub, route list, asset window
        const int copy = in.pick(3);
        bool changed = false;
        switch (copy) {
        case 0: tags::hub::UnEscapeText(text, changed); break;
        case 1: routeList::UnEscapeText(text, changed); break;
        default: assetWindow::UnEscapeText(text, changed); break;
        }
        FUZZ_CHECK(changed == (text != before), where("UnEscapeText's changed flag", copy, before, 0, QString()));
        FUZZ_CHECK(!text.contains(QLatin1String("&amp;"), Qt::CaseInsensitive),
                   where("UnEscapeText left &amp;", copy, before, 0, QString()));
        break;
    }
    case 3: { // the scenario editor's PutLocalisedText
        const qsizetype pos = s.position();
        try {
            scenarioEditor::PutLocalisedText(text, pos, s.value());
        } catch (const VbError& e) {
            FUZZ_CHECK(e.number == 5, QString::number(e.number) + QLatin1Char(' ') + where("PutLocalisedText", 4, before, pos, QString()));
        }
        break;
    }
    case 4: { // the scenario editor's GetLocalisedText
        const qsizetype pos = s.position();
        QString result;
        try {
            scenarioEditor::GetLocalisedText(text, pos, result);
        } catch (const VbError& e) {
            FUZZ_CHECK(e.number == 5, QString::number(e.number) + QLatin1Char(' ') + where("GetLocalisedText", 4, before, pos, QString()));
        }
        break;
    }
    case 5: { // the scenario editor's PutTime
        qsizetype pos = s.position();
        const qsizetype start = pos;
        const QString tag = s.tag();
        qint32 seconds = qint32(in.byte() << 24 | in.byte() << 16 | in.byte() << 8 | in.byte());
        try {
            scenarioEditor::PutTime(text, pos, tag, seconds);
        } catch (const VbError& e) {
            fuzz::fail("PutTime raised a run-time error", QString::number(e.number) + QLatin1Char(' ') + where("PutTime", 4, before, start, tag));
        }
        checkPosition(before, pos, where("PutTime", 4, before, start, tag));
        if (pos == 0)
            FUZZ_CHECK(text == before, where("PutTime changed the text and gave 0", 4, before, start, tag));
        break;
    }
    case 6: { // ShiftAllStartTimes
        const qint32 offset = qint32(in.byte() << 24 | in.byte() << 16 | in.byte() << 8 | in.byte());
        try {
            scenarioEditor::ShiftAllStartTimes(text, offset);
        } catch (const VbError&) {
        }
        break;
    }
    case 7: { // SwapInitialLevels
        try {
            scenarioEditor::SwapInitialLevels(text);
            FUZZ_CHECK(text.size() == before.size(), where("SwapInitialLevels changed the length", 4, before, 0, QString()));
        } catch (const VbError& e) {
            FUZZ_CHECK(e.number == 5 && text == before, where("SwapInitialLevels failed and changed", 4, before, 0, QString()));
        }
        break;
    }
    case 8: { // the asset window's PutLocalisedText chain
        try {
            assetWindow::PutLocalisedTextChain(text, s.value());
        } catch (const VbError& e) {
            fuzz::fail("PutLocalisedTextChain raised a run-time error", QString::number(e.number) + QLatin1Char(' ') + where("PutLocalisedTextChain", 2, before, 0, QString()));
        }
        break;
    }
    case 9: { // RemD2 (route list and scenario browser) on the text's lines
        QStringList list = text.split(QLatin1Char('\n'));
        if (in.flag())
            list.sort(Qt::CaseInsensitive);
        QStringList out;
        if (in.flag())
            routeList::RemD2(list, out);
        else
            scenarioBrowser::RemD2(list, out);
        FUZZ_CHECK(out.size() <= list.size() && (list.isEmpty() || out.first() == list.first()),
                   QStringLiteral("RemD2 of %1 lines gave %2").arg(list.size()).arg(out.size()));
        break;
    }
    default: { // the shared implementation with the policy of any copy
        const Policy& policy = copyPolicy(in.pick(6));
        qsizetype pos = s.position();
        const QString tag = s.tag();
        QString result;
        try {
            detail::GetDetail(policy, text, pos, tag, result);
        } catch (const VbError& e) {
            FUZZ_CHECK(e.number == 5, QString::number(e.number));
            break;
        }
        if (pos > 0) {
            qsizetype pos2 = pos;
            // Reading from the closing tag finds a later element or none.
            try {
                detail::GetDetail(policy, text, pos2, tag, result);
            } catch (const VbError& e) {
                FUZZ_CHECK(e.number == 5, QString::number(e.number));
                break;
            }
            FUZZ_CHECK(pos2 == 0 || pos2 > pos, QStringLiteral("GetDetail went back from %1 to %2").arg(pos).arg(pos2));
        }
        break;
    }
    }
}

} // namespace

FUZZ_SHARED_INITIALISE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte says how long the program of steps is; the text follows it.
    const size_t programSize = std::min<size_t>(size - 1, size_t(data[0] % 64) * 4);
    fuzz::Input program(data + 1, programSize);
    QString text = platform::decodeAnsi(fuzz::bytesOf(data + 1 + programSize, size - 1 - programSize));
    while (!program.atEnd())
        runStep(program, text);
    return 0;
}
