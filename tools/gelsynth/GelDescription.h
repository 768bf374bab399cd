#pragma once

// What a synthetic gel looks like: picture size and depth, background,
// noise, the lane grid and the bands of every lane. Read from the small text
// format documented in tools/gelsynth/README.md.

#include <QString>

#include <cstdint>
#include <stdexcept>
#include <vector>

// A description that cannot be read; the text names the line and the fault.
class GelDescriptionError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct GelBand
{
    double centre = 0.0; // row of the band's peak in the middle of the picture
    double height = 8.0; // full width at half maximum, in rows
    double amount = 0.0; // integrated intensity above background (grey levels x pixels)
    double molecularWeight = 0.0; // ladder markers only; 0 = unknown
};

struct GelLane
{
    bool ladder = false;
    std::vector<GelBand> bands;
};

class GelDescription
{
public:
    int width = 800;
    int height = 600;
    int bits = 16; // 8 or 16
    bool darkBands = true; // bands darker than the background (else lighter)
    double background = 50000.0;
    double gradientX = 0.0; // background change per column
    double gradientY = 0.0; // background change per row
    double noise = 0.0; // standard deviation of the Gaussian noise
    double smile = 0.0; // rows by which bands at the picture's side edges sink
    double edge = 3.0; // soft lane edge, in columns
    int laneWidth = 60;
    int laneSpacing = 80;
    int leftMargin = 40;
    uint64_t seed = 1;
    std::vector<GelLane> lanes;

    int fullScale() const { return bits == 8 ? 255 : 65535; }
    int laneLeft(int lane) const { return leftMargin + lane * laneSpacing; } // 0-based lane
    int laneRight(int lane) const { return laneLeft(lane) + laneWidth; } // exclusive

    // Raises GelDescriptionError naming the line at fault.
    static GelDescription parse(const QString &text);
    static GelDescription fromFile(const QString &path);

    // Checks sizes, depth and that every lane lies on the picture.
    void validate() const;
};
