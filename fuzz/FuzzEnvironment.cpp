#include "fuzz/FuzzEnvironment.h"

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"
#include "platform/ProfileStore.h"

#include <FreeImage.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

FuzzEnvironment &FuzzEnvironment::instance()
{
    static FuzzEnvironment environment;
    return environment;
}

FuzzEnvironment::FuzzEnvironment()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "densora-fuzz";
    static char *argv[] = {name, nullptr};
    // Deliberately never destroyed: libFuzzer leaves through exit().
    new QGuiApplication(argc, argv);
    FreeImage_Initialise();
    ProfileStore::install(std::make_unique<MemoryProfileStore>());
    auto prompts = std::make_unique<ScriptedPrompts>();
    m_pPrompts = prompts.get();
    Prompts::install(std::move(prompts));
    // Memory-backed when the machine has one: every input is written once.
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                   : QDir::tempPath();
    m_pScratch = std::make_unique<QTemporaryDir>(base + QStringLiteral("/densora-fuzz-XXXXXX"));
}

QString FuzzEnvironment::scratchPath(const QString &name) const
{
    return m_pScratch->filePath(name);
}

QString FuzzEnvironment::writeScratch(const uint8_t *data, size_t size, const QString &suffix)
{
    const QString path = scratchPath(QStringLiteral("input.") + suffix);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the scratch file %s", qPrintable(path));
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}

std::unique_ptr<CDrawImage> FuzzEnvironment::makeGelPicture()
{
    constexpr int kWidth = 160;
    constexpr int kHeight = 120;
    RGBQUAD grey[256];
    for (int i = 0; i < 256; ++i)
        grey[i] = RGBQUAD {BYTE(i), BYTE(i), BYTE(i), 0};
    auto picture = std::make_unique<CDrawImage>();
    if (!picture->Create(kWidth, kHeight, 8, grey))
        qFatal("cannot make the picture");
    TVFImage *image = picture->GetImage();
    for (unsigned y = 0; y < unsigned(kHeight); ++y) {
        BYTE *row = image->getScanLine(y);
        for (int x = 0; x < kWidth; ++x) {
            const bool band = (x % 40) > 8 && (x % 40) < 32 && (y % 30) > 10 && (y % 30) < 16;
            row[x] = band ? 40 : 220;
        }
    }
    picture->SizeToImage();
    return picture;
}
