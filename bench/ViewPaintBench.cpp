// Painting the image view: one full window (1920 x 1080) of a synthetic 16-bit
// 4000 x 3000 gel, through the same call the canvas makes on a paint event,
// at fit zoom and at 100 %. Target: 16 ms or less each, so panning and zooming
// keep up with the screen. The first paint after a change builds the display
// image once; that cost is measured apart.

#include "appbase/CDensoraDoc.h"
#include "appbase/CDensoraView.h"

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"

#include "testsupport/TestViewHost.h"
#include "tools/gelsynth/GelSynth.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <memory>

namespace {

constexpr int kWindowWidth = 1920;
constexpr int kWindowHeight = 1080;

GelDescription largeGel()
{
    GelDescription d;
    d.width = 4000;
    d.height = 3000;
    d.bits = 16;
    d.background = 52000.0;
    d.noise = 150.0;
    d.laneWidth = 110;
    d.laneSpacing = 160;
    d.leftMargin = 80;
    d.seed = 7;
    for (int lane = 0; lane < 24; ++lane) {
        GelLane gelLane;
        for (int band = 0; band < 15; ++band)
            gelLane.bands.push_back({150.0 + 180.0 * band, 20.0, 2.0e6 * (1 + band % 4), 0.0});
        d.lanes.push_back(gelLane);
    }
    return d;
}

struct GelView
{
    GelView() : host(CSize(kWindowWidth, kWindowHeight))
    {
        GelSynth gel(largeGel());
        gel.render();
        auto *drawImage = new CDrawImage;
        drawImage->Create(8, 8, 8, nullptr);
        *drawImage->GetImage() = gel.toBitmap();
        drawImage->SizeToImage();
        doc.Add(drawImage);
        doc.SetTitle(QStringLiteral("large-gel.tif"));
        view = std::make_unique<CDensoraView>(&doc);
        view->SetHost(&host);
    }
    ~GelView() { view->SetHost(nullptr); }

    void paint(QImage &window)
    {
        QPainter painter(&window);
        view->PaintVisible(&painter, QRect(0, 0, kWindowWidth, kWindowHeight));
    }

    CDensoraDoc doc;
    TestViewHost host;
    std::unique_ptr<CDensoraView> view;
};

GelView &gelView()
{
    static GelView instance;
    return instance;
}

// A window's backing store is premultiplied ARGB.
QImage windowImage()
{
    return QImage(kWindowWidth, kWindowHeight, QImage::Format_ARGB32_Premultiplied);
}

void PaintAtFitZoom(benchmark::State &state)
{
    GelView &g = gelView();
    g.view->ZoomToView();
    QImage window = windowImage();
    g.paint(window); // builds the display image once
    for (auto _ : state) {
        g.paint(window);
        benchmark::DoNotOptimize(window.constBits());
    }
    state.counters["zoom"] = g.view->GetZoomFactor();
}

void PaintAt100Percent(benchmark::State &state)
{
    GelView &g = gelView();
    g.view->SetZoomFactor(1.0f);
    // The middle of the gel.
    g.host.SetScrollPosition(CPoint((4000 - kWindowWidth) / 2, (3000 - kWindowHeight) / 2));
    QImage window = windowImage();
    g.paint(window);
    for (auto _ : state) {
        g.paint(window);
        benchmark::DoNotOptimize(window.constBits());
    }
}

// A pan step: the canvas scrolls the pixels it has and paints the strip
// that came into view (here 64 pixels wide).
void PaintPanStripAt100Percent(benchmark::State &state)
{
    GelView &g = gelView();
    g.view->SetZoomFactor(1.0f);
    g.host.SetScrollPosition(CPoint(1000, 900));
    QImage window = windowImage();
    for (auto _ : state) {
        QPainter painter(&window);
        g.view->PaintVisible(&painter, QRect(kWindowWidth - 64, 0, 64, kWindowHeight));
        painter.end();
        benchmark::DoNotOptimize(window.constBits());
    }
}

// Rebuilding the display image after a change of the picture or its display
// settings (once per change, not per paint).
void DisplayImageRebuild(benchmark::State &state)
{
    GelView &g = gelView();
    TVFImage *image = g.doc.GetImage();
    for (auto _ : state) {
        image->setModified(TRUE);
        benchmark::DoNotOptimize(image->getDisplayImage(FALSE).constBits());
    }
}

} // namespace

BENCHMARK(PaintAtFitZoom)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintAt100Percent)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintPanStripAt100Percent)->Unit(benchmark::kMillisecond);
BENCHMARK(DisplayImageRebuild)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
