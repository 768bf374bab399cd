// gelsynth: writes a synthetic gel picture and its ground truth.
//   gelsynth [--seed N] DESCRIPTION IMAGE.tif|IMAGE.png TRUTH.tsv

#include "tools/gelsynth/GelSynth.h"

#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: gelsynth [--seed N] DESCRIPTION IMAGE.tif|IMAGE.png TRUTH.tsv\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList files;
    bool haveSeed = false;
    unsigned long long seed = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--seed")) {
            if (++i >= argc)
                return usage();
            bool ok = false;
            seed = QString::fromLocal8Bit(argv[i]).toULongLong(&ok);
            if (!ok)
                return usage();
            haveSeed = true;
        } else if (arg.startsWith(QLatin1String("-"))) {
            return usage();
        } else {
            files << arg;
        }
    }
    if (files.size() != 3)
        return usage();

    try {
        GelDescription description = GelDescription::fromFile(files[0]);
        if (haveSeed)
            description.seed = seed;
        GelSynth synth(description);
        synth.render();
        QString error;
        if (!synth.writeImage(files[1], &error) || !synth.truth().write(files[2], &error)) {
            std::fprintf(stderr, "gelsynth: %s\n", qPrintable(error));
            return 1;
        }
    } catch (const GelDescriptionError &e) {
        std::fprintf(stderr, "gelsynth: %s: %s\n", qPrintable(files[0]), e.what());
        return 1;
    }
    return 0;
}
