#include "hub/EditorPages.h"

#include "common/TempFiles.h"
#include "platform/Paths.h"

namespace hub {

int EditorInForce(int sessionEditor, bool xmlEditorDefault)
{
    if (sessionEditor == 1)
        return TextPage;
    if (sessionEditor == 2)
        return TreePage;
    return xmlEditorDefault ? TreePage : TextPage;
}

PageSwitch PageSwitchFor(int page, int sessionEditor, bool xmlEditorDefault)
{
    const int editor = EditorInForce(sessionEditor, xmlEditorDefault);
    PageSwitch s;
    if (page == TreePage) {
        s.frame2Visible = true;
        s.warning = editor != TreePage;
        s.caption = s.warning
            ? QStringLiteral("Warning: You are using Veltrane editor, any changes you make on this page will not be saved")
            : TreePageCaption();
    } else {
        s.frame1Visible = true;
        s.warning = editor != TextPage;
        s.caption = s.warning
            ? QStringLiteral("Warning: You are using XML editor, any changes you make on this page will not be saved")
            : TextPageCaption();
    }
    s.fileSVisible = editor == TextPage;
    s.fileVisible = editor == TreePage;
    s.nodePopUpVisible = editor == TreePage;
    s.searchVisible = true;
    return s;
}

QString TextPageCaption()
{
    return QStringLiteral("Veltrane Editor");
}

QString TreePageCaption()
{
    return QStringLiteral("XML Editor");
}

QString TreeWorkCopyPath(const QString& treeWorkName)
{
    return TempFilesPath(treeWorkName + QStringLiteral("xml"));
}

QString HelpFilePath()
{
    return platform::programFolder() + QStringLiteral("\\Veltrane_Help.pdf");
}

QString HelpCommandLine(const QString& acrobatPath)
{
    const QChar quote = QLatin1Char('"');
    return quote + acrobatPath + quote + QLatin1Char(' ') + quote + HelpFilePath() + quote;
}

QString HelpReaderMissingMessage()
{
    return QStringLiteral("Before you can read Help files, you must set up the path\r\n"
                          "to your Acrobat Reader in the Options menu.");
}

QString HelpReaderFailedMessage(const QString& acrobatPath, const QString& reason)
{
    QString text = QStringLiteral("The Acrobat Reader could not be started:\r\n") + acrobatPath;
    if (!reason.isEmpty())
        text += QStringLiteral("\r\n") + reason;
    return text + QStringLiteral("\r\nPlease check its path in the Options menu.");
}

} // namespace hub
