#include "tools/gelsynth/GelSynth.h"

#include "tools/gelsynth/GelRandom.h"

#include <FreeImage.h>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Full width at half maximum of a Gaussian in units of its sigma.
constexpr double kFwhmPerSigma = 2.3548200450309493;

double smoothstep(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

} // namespace

GelSynth::GelSynth(GelDescription description) : m_description(std::move(description))
{
    m_description.validate();
}

double GelSynth::backgroundAt(int x, int y) const
{
    return m_description.background + m_description.gradientX * x + m_description.gradientY * y;
}

double GelSynth::smileAt(double x) const
{
    const double half = m_description.width / 2.0;
    const double u = (x - half) / half;
    return m_description.smile * u * u;
}

void GelSynth::addBand(const GelTruthLane &lane, const GelBand &band, std::vector<double> &signal)
{
    const int w = width();
    const int h = height();
    const double sigma = band.height / kFwhmPerSigma;
    const double edge = m_description.edge;

    // Shape first, unscaled, so that the amount can be met exactly by the sum
    // of what lands on the picture.
    struct Column
    {
        int x;
        double weight;
        double centre;
        int y0;
        int y1;
    };
    std::vector<Column> columns;
    double total = 0.0;
    for (int x = lane.left; x < lane.right; ++x) {
        const double fromEdge = std::min(x + 0.5 - lane.left, lane.right - (x + 0.5));
        const double weight = edge > 0.0 ? smoothstep(fromEdge / edge) : 1.0;
        const double centre = band.centre + smileAt(x + 0.5);
        const int y0 = std::max(0, int(std::floor(centre - 6.0 * sigma)));
        const int y1 = std::min(h - 1, int(std::ceil(centre + 6.0 * sigma)));
        columns.push_back({x, weight, centre, y0, y1});
        for (int y = y0; y <= y1; ++y) {
            const double d = (y - centre) / sigma;
            total += weight * std::exp(-0.5 * d * d);
        }
    }
    if (total <= 0.0)
        return;
    const double scale = band.amount / total;
    for (const Column &c : columns)
        for (int y = c.y0; y <= c.y1; ++y) {
            const double d = (y - c.centre) / sigma;
            signal[size_t(y) * size_t(w) + size_t(c.x)]
                += scale * c.weight * std::exp(-0.5 * d * d);
        }
}

void GelSynth::render()
{
    const GelDescription &d = m_description;
    const int w = d.width;
    const int h = d.height;

    m_truth = GelTruth();
    m_truth.seed = d.seed;
    std::vector<double> signal(size_t(w) * size_t(h), 0.0);
    for (size_t i = 0; i < d.lanes.size(); ++i) {
        const int number = int(i) + 1;
        const GelTruthLane lane {number, d.laneLeft(int(i)), d.laneRight(int(i)),
                                 d.lanes[i].ladder};
        m_truth.lanes.push_back(lane);
        for (const GelBand &band : d.lanes[i].bands) {
            addBand(lane, band, signal);
            GelTruthBand t;
            t.lane = number;
            t.centre = band.centre + smileAt((lane.left + lane.right) / 2.0);
            t.top = int(std::floor(t.centre - band.height / 2.0 + 0.5));
            t.bottom = int(std::floor(t.centre + band.height / 2.0 + 0.5));
            t.amount = band.amount;
            t.molecularWeight = band.molecularWeight;
            m_truth.bands.push_back(t);
        }
    }

    // One normal deviate per pixel in row order, whatever the noise level, so
    // the noise field of a seed does not depend on the other settings.
    GelRandom random(d.seed);
    const double sign = d.darkBands ? -1.0 : 1.0;
    const double full = d.fullScale();
    m_pixels.assign(size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            const double v = backgroundAt(x, y) + sign * signal[i] + d.noise * random.normal();
            m_pixels[i] = uint16_t(std::clamp(std::floor(v + 0.5), 0.0, full));
        }
    }
}

FIBITMAP *GelSynth::toBitmap() const
{
    const int w = width();
    const int h = height();
    const bool sixteen = m_description.bits == 16;
    FIBITMAP *bitmap
        = sixteen ? FreeImage_AllocateT(FIT_UINT16, w, h, 16) : FreeImage_Allocate(w, h, 8);
    if (!bitmap)
        return nullptr;
    for (int y = 0; y < h; ++y) {
        BYTE *line = FreeImage_GetScanLine(bitmap, h - 1 - y);
        for (int x = 0; x < w; ++x) {
            if (sixteen)
                reinterpret_cast<uint16_t *>(line)[x] = uint16_t(pixel(x, y));
            else
                line[x] = BYTE(pixel(x, y));
        }
    }
    return bitmap;
}

bool GelSynth::writeImage(const QString &path, QString *error) const
{
    auto failed = [error](const QString &what) {
        if (error)
            *error = what;
        return false;
    };
    const QString suffix = QFileInfo(path).suffix().toLower();
    FREE_IMAGE_FORMAT format = FIF_UNKNOWN;
    if (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff"))
        format = FIF_TIFF;
    else if (suffix == QLatin1String("png"))
        format = FIF_PNG;
    else
        return failed(
            QStringLiteral("%1: the picture is written as .tif, .tiff or .png").arg(path));
    if (m_pixels.empty())
        return failed(QStringLiteral("nothing rendered"));
    FIBITMAP *bitmap = toBitmap();
    if (!bitmap)
        return failed(QStringLiteral("out of memory"));
    const QByteArray name = QFile::encodeName(path);
    const bool ok = FreeImage_Save(format, bitmap, name.constData(), 0) != 0;
    FreeImage_Unload(bitmap);
    return ok ? true : failed(QStringLiteral("%1: cannot be written").arg(path));
}
