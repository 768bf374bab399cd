// densora-cli: batch analysis of gel images without a display.

#include "cli/CliCommand.h"
#include "cli/CliPrompts.h"
#include "cli/ReadOnlyProfileStore.h"
#include "platform/ProfileStore.h"

#include <FreeImage.h>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    FreeImage_Initialise();
    // The user's settings (the detection slider, the options) are read; a
    // batch run changes none of them.
    ProfileStore::install(
        std::make_unique<ReadOnlyProfileStore>(std::make_unique<SettingsProfileStore>()));
    Prompts::install(std::make_unique<CliPrompts>());

    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    const int status = CliCommand::Run(app.arguments().mid(1), &out, &err);
    out.close();
    err.close();
    FreeImage_DeInitialise();
    return status;
}
