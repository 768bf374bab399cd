#pragma once

// densora-cli's commands, apart from main() so the tests can run them in the
// same process: "analyze" runs an analysis on a picture, "report" reopens a
// saved one; both print or write the report, the lane profiles and the JSON
// document, and answer with the exit status.

#include <QStringList>

class QIODevice;

class CliCommand
{
public:
    enum ExitStatus : int {
        Success = 0,
        InputOutputError = 1, // input unreadable, output unwritable
        UsageError = 2, // the arguments
    };

    // arguments: without the program name. Results go to 'out', usage lines
    // and messages to 'err'.
    static int Run(const QStringList &arguments, QIODevice *out, QIODevice *err);
};
