// densora-cli: batch analysis of gel images without a display.

#include <FreeImage.h>
#include <QCoreApplication>
#include <QTextStream>
#include <opencv2/core/version.hpp>
#include <xlsxwriter.h>

#include <cstdio>
#include <cstring>

namespace {
void printVersions()
{
    QTextStream out(stdout);
    out << "densora-cli " << DENSORA_VERSION << "\n"
        << "Qt " << qVersion() << "\n"
        << "FreeImage " << FreeImage_GetVersion() << "\n"
        << "OpenCV " << CV_VERSION << "\n"
        << "libxlsxwriter " << lxw_version() << "\n";
}

void printUsage()
{
    std::puts("Usage: densora-cli --version | --help");
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    FreeImage_Initialise();
    int rc = 0;
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
        printVersions();
    } else if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
        printUsage();
    } else {
        printUsage();
        rc = 2;
    }
    FreeImage_DeInitialise();
    return rc;
}
