#pragma once

// Ground truth of a synthetic gel: where every lane and band was put and how
// much was put there. Written as one tab-separated table (see README.md).

#include <QString>

#include <cstdint>
#include <vector>

struct GelTruthLane
{
    int lane = 0; // 1-based
    int left = 0; // first column of the lane
    int right = 0; // first column after the lane
    bool ladder = false;
};

struct GelTruthBand
{
    int lane = 0; // 1-based
    double centre = 0.0; // peak row in the middle of the lane (smile included)
    int top = 0; // rows at half maximum above and below the peak
    int bottom = 0;
    double amount = 0.0; // integrated intensity above background as requested
    double molecularWeight = 0.0; // ladder markers; 0 = none
};

class GelTruth
{
public:
    uint64_t seed = 0;
    std::vector<GelTruthLane> lanes;
    std::vector<GelTruthBand> bands;

    const GelTruthLane *lane(int number) const;

    QString toText() const;
    // Raises GelDescriptionError on a malformed table.
    static GelTruth fromText(const QString &text);

    // false with *error set when the file cannot be written.
    bool write(const QString &path, QString *error = nullptr) const;
    static GelTruth read(const QString &path);
};
