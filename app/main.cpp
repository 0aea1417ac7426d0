#include "hub/frmEditor.h"
#include "platform/Paths.h"
#include "platform/QtUi.h"
#include "platform/QtUiApplication.h"
#include "scenarios/frmZelvorn.h"

#include <QFileInfo>
#include <QStringList>

int main(int argc, char** argv)
{
    QtUiApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrane"));

    QtUi seam;
    setUi(&seam);
    frmZelvorn::registerLauncher();

    // The program takes its command line as one text, as it would be handed over on
    // Windows: the arguments after the program's name, joined by single blanks. A file named
    // relative to the folder the program was started from keeps naming it after the program
    // folder becomes the current folder.
    QStringList args = QApplication::arguments().mid(1);
    for (QString& arg : args) {
        const QFileInfo file(arg);
        if (file.isRelative() && file.exists())
            arg = file.absoluteFilePath();
    }
    // A Windows program started from its folder works there: relative names typed by the user
    // lie in the program folder, not in the folder the program was started from.
    platform::enterProgramFolder();

    int status = 0;
    {
        frmEditor window;
        window.setCommandLine(args.join(QLatin1Char(' ')));
        window.Form_Load();
        window.show();
        status = QApplication::exec();
    }
    setUi(nullptr);
    return status;
}
