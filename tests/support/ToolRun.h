#pragma once
// Runs one of the command-line tools as a person would and keeps what it said.

#include <QProcess>
#include <QString>
#include <QStringList>

struct ToolRun {
    int status = -1;  // exit code; -1 when it did not finish in time, -2 when it crashed
    QString out;
    QString err;
};

inline ToolRun RunTool(const QString& program, const QStringList& args, const QString& workingFolder,
                       const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.setWorkingDirectory(workingFolder);
    p.start(program, args);
    ToolRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
