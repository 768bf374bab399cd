// densora-cli's command line: the input is the argument list, the arguments
// separated by zero bytes, read as UTF-8 as the program gets them.

#include "cli/CliOptions.h"

#include <QByteArray>
#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList arguments;
    for (const QByteArray &argument : bytes.split('\0'))
        arguments << QString::fromUtf8(argument);
    CliOptions options;
    QString error;
    if (!CliOptions::Parse(arguments, &options, &error) && error.isEmpty())
        qFatal("an argument list was refused without saying why");
    return 0;
}
