#include "hub/frmEditor.h"
#include "platform/QtUi.h"
#include "platform/QtUiApplication.h"
#include "scenarios/frmZelvorn.h"

#include <QStringList>

int main(int argc, char** argv)
{
    QtUiApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrane"));

    QtUi seam;
    setUi(&seam);
    frmZelvorn::registerLauncher();

    // The program takes its command line as one text, as it would be handed over on
    // Windows: the arguments after the program's name, joined by single blanks.
    const QStringList args = QApplication::arguments().mid(1);

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
