// veltrane-cmd: runs one of the program's generated batch files.
//
//   veltrane-cmd [/c] BATCHFILE
//
// The batch file's path may be native or Windows-form. The exit status is 0 when every line
// ran without error, 1 when a command failed and 2 when a line could not be run.

#include "tools/cmd/BatchInterpreter.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (!args.isEmpty() && args.first().compare(QLatin1String("/c"), Qt::CaseInsensitive) == 0)
        args.removeFirst();
    if (args.isEmpty()) {
        std::fputs("usage: veltrane-cmd BATCHFILE\n", stderr);
        return 2;
    }
    cmd::BatchInterpreter interpreter(stdout, stderr);
    return interpreter.runFile(args.first());
}
