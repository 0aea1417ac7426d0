#include "hub/HubStartup.h"
#include "hub/frmEditor.h"
#include "platform/Paths.h"
#include "platform/QtUi.h"
#include "platform/QtUiApplication.h"
#include "scenarios/frmZelvorn.h"

#include <QDir>

int main(int argc, char** argv)
{
    QtUiApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrane"));

    QtUi seam;
    setUi(&seam);
    frmZelvorn::registerLauncher();

    // A file named relative to the folder the program was started from keeps naming it after
    // the program folder becomes the current folder.
    const QString file = hub::StartupFileFromArguments(QApplication::arguments().mid(1), QDir::currentPath());
    // A Windows program started from its folder works there: relative names typed by the user
    // lie in the program folder, not in the folder the program was started from.
    platform::enterProgramFolder();

    int status = 0;
    {
        frmEditor window;
        window.setCommandLine(file);
        window.Form_Load();
        window.show();
        status = QApplication::exec();
    }
    setUi(nullptr);
    return status;
}
