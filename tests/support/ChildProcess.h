#pragma once
// Runs one of the build's programs as a child process and keeps what it said.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct ProcessRun {
    int status = -1; // the exit code; -1 when it did not start, crashed or ran too long
    QString out;
    QString err;
};

// Runs program with args in the folder cwd (the test's own when empty) with the environment
// env. A program that does not start or does not end within timeoutMs is a test failure (it
// is killed).
ProcessRun runProcess(const QString& program, const QStringList& args, int timeoutMs,
                      const QString& cwd = QString(),
                      const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
