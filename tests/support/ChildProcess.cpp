#include "support/ChildProcess.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

ProcessRun runProcess(const QString& program, const QStringList& args, int timeoutMs, const QString& cwd,
                      const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (!cwd.isEmpty())
        p.setWorkingDirectory(cwd);
    p.start(program, args);
    ProcessRun r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(timeoutMs)) {
        ADD_FAILURE() << QFileInfo(program).fileName().toStdString()
                      << " did not run: " << p.errorString().toStdString();
        p.kill();
        p.waitForFinished(1000);
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}
