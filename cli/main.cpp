// densora-cli: batch analysis of gel images without a display.

#include "cli/CliCommand.h"
#include "cli/CliPrompts.h"
#include "cli/ReadOnlyProfileStore.h"
#include "platform/ProfileStore.h"

#include <FreeImage.h>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace {

bool asksForPdf(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--pdf") == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    // The PDF report draws text and pictures, which needs Qt Gui's fonts: a
    // Gui application then, on the off-screen platform unless one is chosen,
    // so the batch tool still runs without a display.
    std::unique_ptr<QCoreApplication> application;
    if (asksForPdf(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication &app = *application;
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
