#pragma once

// Runs the built densora-cli as a user would, with a settings folder of its
// own, and gives back what it said.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct RunResult
{
    int status = -1; // -1: it crashed or did not end in time
    QByteArray out;
    QByteArray err;
};

inline RunResult runCliProgram(const QStringList &arguments, const QString &configFolder,
                               int timeoutMs = 60000)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(DENSORA_CLI_PROGRAM), arguments);
    RunResult result;
    if (!process.waitForFinished(timeoutMs))
        return result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}
