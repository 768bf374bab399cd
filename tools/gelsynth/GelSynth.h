#pragma once

// Renders a synthetic 1D gel from a description: background with a linear
// gradient, lanes of bands (Gaussian down the lane, flat across it with soft
// edges, bent by the smile), Gaussian noise, rounding and saturation at full
// scale. The same description and seed give the same picture everywhere.

#include "tools/gelsynth/GelDescription.h"
#include "tools/gelsynth/GelTruth.h"

#include <cstdint>
#include <vector>

struct FIBITMAP;

class GelSynth
{
public:
    explicit GelSynth(GelDescription description);

    // Draws the picture with the description's seed and fills the truth.
    void render();

    const GelDescription &description() const { return m_description; }
    const GelTruth &truth() const { return m_truth; }
    int width() const { return m_description.width; }
    int height() const { return m_description.height; }
    // Final grey value, row 0 at the top.
    int pixel(int x, int y) const { return m_pixels[size_t(y) * size_t(width()) + size_t(x)]; }
    // Background level before noise (not rounded).
    double backgroundAt(int x, int y) const;
    // Rows by which a band sinks at pixel coordinate x (pixel centres at x + 0.5).
    double smileAt(double x) const;

    // New FreeImage bitmap (8-bit grey or 16-bit unsigned), bottom row first
    // as FreeImage keeps it; the caller unloads it.
    FIBITMAP *toBitmap() const;
    // TIFF or PNG, chosen by the file name; false with *error set on failure.
    bool writeImage(const QString &path, QString *error = nullptr) const;

private:
    void addBand(const GelTruthLane &lane, const GelBand &band, std::vector<double> &signal);

    GelDescription m_description;
    GelTruth m_truth;
    std::vector<uint16_t> m_pixels;
};
