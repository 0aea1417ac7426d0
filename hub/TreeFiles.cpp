#include "hub/TreeFiles.h"

#include "common/VbError.h"
#include "hub/RoutesXmlCheck.h"
#include "platform/Paths.h"
#include "platform/Rename.h"
#include "platform/TextCodec.h"
#include "platform/Ui.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

using platform::nativePath;

namespace hub {

namespace {

bool onlyWhitespace(const QString& text)
{
    for (QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            return false;
    }
    return true;
}

// The next start tag, end tag or end of document, with the characters read on the way.
QXmlStreamReader::TokenType nextTag(QXmlStreamReader& reader, QString& run)
{
    run.clear();
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        switch (token) {
        case QXmlStreamReader::Characters:
            run += reader.text();
            break;
        case QXmlStreamReader::StartElement:
        case QXmlStreamReader::EndElement:
        case QXmlStreamReader::EndDocument:
        case QXmlStreamReader::Invalid:
            return token;
        default:
            break; // declaration, comments, processing instructions, document type
        }
    }
    return reader.hasError() ? QXmlStreamReader::Invalid : QXmlStreamReader::EndDocument;
}

bool sameRun(const QString& a, const QString& b)
{
    return a == b || (onlyWhitespace(a) && onlyWhitespace(b));
}

} // namespace

bool SameXmlContent(const QByteArray& a, const QByteArray& b)
{
    QXmlStreamReader ra(a), rb(b);
    ra.setNamespaceProcessing(false);
    rb.setNamespaceProcessing(false);
    QString runA, runB;
    for (;;) {
        const QXmlStreamReader::TokenType ta = nextTag(ra, runA);
        const QXmlStreamReader::TokenType tb = nextTag(rb, runB);
        if (ta == QXmlStreamReader::Invalid || tb == QXmlStreamReader::Invalid || ta != tb)
            return false;
        if (!sameRun(runA, runB))
            return false;
        if (ta == QXmlStreamReader::EndDocument)
            return true;
        if (ra.qualifiedName() != rb.qualifiedName())
            return false;
        if (ta == QXmlStreamReader::StartElement) {
            const QXmlStreamAttributes aa = ra.attributes();
            const QXmlStreamAttributes ab = rb.attributes();
            if (aa.size() != ab.size())
                return false;
            for (qsizetype i = 0; i < aa.size(); ++i) {
                if (aa.at(i).qualifiedName() != ab.at(i).qualifiedName() || aa.at(i).value() != ab.at(i).value())
                    return false;
            }
        }
    }
}

bool TagCleaningKeepsDocument(const QByteArray& xml)
{
    const TagBalanceResult cleaned = CleanTagLines(platform::decodeAnsi(xml));
    return SameXmlContent(xml, platform::encodeAnsi(cleaned.text));
}

bool CheckTagBalanceKeepingDocument(const QString& path)
{
    const QByteArray bytes = ReadTagCheckFile(path);
    if (!TagCleaningKeepsDocument(bytes))
        return false;
    CheckTagBalance(path, bytes);
    return true;
}

ConversionResult ConvertTreeToGameFile(const TreeGameOrigin& origin, QString* backupPath)
{
    if (backupPath)
        backupPath->clear();
    const QString notChanged = QLatin1Char(' ') + origin.gameFile + QStringLiteral(" has not been changed.");
    const QString workXml = origin.workXml();
    const QString workBin = origin.workBase + QStringLiteral("bin");

    if (QFileInfo::exists(nativePath(workBin)) && !QFile::remove(nativePath(workBin)))
        return ConversionResult{false, QStringLiteral("The old work file ") + workBin
                                           + QStringLiteral(" could not be deleted;") + notChanged};

    const ConversionResult run = RunSerz(workXml, serz::ToBin, workBin, platform::programFolder());
    ui().doEvents();
    if (!run)
        return ConversionResult{false, run.error + notChanged};

    QString newFile = workBin;
    if (origin.extension.compare(QLatin1String("bin"), Qt::CaseInsensitive) != 0) {
        newFile = origin.workBase + origin.extension;
        if (!platform::renameFile(nativePath(workBin), nativePath(newFile), platform::RenameMode::ReplaceExisting))
            return ConversionResult{false, QStringLiteral("The converted file could not be renamed to ") + newFile
                                               + QLatin1Char(';') + notChanged};
        platform::clearPathCache();
        ui().doEvents();
    }

    ui().doEvents();
    const ConversionResult replaced = ReplaceGameFile(newFile, origin.gameFile, QString(), backupPath);
    platform::clearPathCache();
    return replaced;
}

bool SaveTreeIntoGameFile(XmlTreeDocument& document, const TreeGameOrigin& origin)
{
    try {
        if (!document.SaveXmlTree())
            return false;
        ui().doEvents();
        if (document.TreeFileName.compare(origin.workXml(), Qt::CaseInsensitive) != 0) {
            // The document was saved under another name since it was opened: the work copy
            // gets it too, so that what is converted is the document as it stands.
            const QString own = document.TreeFileName;
            document.TreeFileName = origin.workXml();
            const bool written = document.SaveXmlTree();
            document.TreeFileName = own;
            if (!written) {
                document.SetModified(true);
                return false;
            }
        }
        CheckTagBalanceKeepingDocument(origin.workXml());
        ui().doEvents();

        const ConversionResult saved = ConvertTreeToGameFile(origin);
        if (!saved) {
            // The game file does not hold the changes.
            document.SetModified(true);
            exclaim(saved.error);
            return false;
        }
        return true;
    } catch (const VbError&) {
        document.SetModified(true);
        throw;
    }
}

bool SaveTreeIntoXmlFile(XmlTreeDocument& document, const QString& xmlFile)
{
    const QString own = document.TreeFileName;
    document.TreeFileName = xmlFile;
    const bool saved = document.SaveXmlTree();
    document.TreeFileName = own;
    return saved;
}

bool OfferTreeSaveBeforeExit(XmlTreeDocument& document, const TreeDocumentSource& source)
{
    return document.OfferToSave([&document, &source] {
        if (source.game.isSet()) {
            BusyPointer pointer;
            return SaveTreeIntoGameFile(document, source.game);
        }
        if (!source.xmlFile.isEmpty())
            return SaveTreeIntoXmlFile(document, source.xmlFile);
        return document.SaveXmlTree();
    });
}

} // namespace hub
