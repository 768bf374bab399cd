#include "app/tests/AppTestEnvironment.h"

#include "platform/ProfileStore.h"

#include <memory>

namespace {

class AppEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "DensoraAppTests";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<CDensoraApp>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<CDensoraApp> m_app;
};

[[maybe_unused]] ::testing::Environment *const appEnvironment
    = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

} // namespace

void AppTest::SetUp()
{
    // Never the user's settings: a fresh in-memory store per test.
    ProfileStore::install(std::make_unique<MemoryProfileStore>());
    app()->GetRecentFiles() = RecentFileList();
    app()->CreateMainFrame();
}

void AppTest::TearDown()
{
    app()->DestroyMainFrame();
    CDensoraApp::SetProcessStarter({});
    CDensoraApp::SetUrlOpener({});
}

bool AppTest::writeGel(const QString &path, int width, int height)
{
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < width; ++x)
            line[x] = uchar((y % 12 < 3 && x % 16 > 3) ? 40 : 220); // dark bands in lanes
    }
    return image.save(path, "PNG");
}
