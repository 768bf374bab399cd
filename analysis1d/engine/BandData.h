#pragma once

// Everything measured for one band. Embedded by value in each Band and read
// by the report, the lane graph and the calibration. Points and rectangles are
// in analysis-image coordinates (pixels relative to the analysis area's top
// left). The two "fraction" fields are shares of the lane from 0 to 1, not
// percentages; the calibrated intensity percentage is a true percentage.

#include "data/CPointArray.h"
#include "platform/CObject.h"
#include "platform/Geometry.h"

#include <QStringList>
#include <vector>

class QRegion;

class BandData : public CObject
{
    DECLARE_SERIAL(BandData)

public:
    BandData();
    BandData(const BandData &other);
    BandData &operator=(const BandData &other);
    ~BandData() override;

    // Schema 3 is written; schemas 3, 2 and 1 are read (see the .cpp for the
    // layouts). Another schema raises CArchiveException(badSchema).
    void Serialize(CArchive &ar) override;
    // The record as analyses of version 2 stored it inside their lanes (no
    // class tag).
    void ReadV2AndBelow(CArchive &ar);

    // Appends the "label|value" lines of the band information dialog.
    void fillInInfo(QStringList &lines) const;
    // Mean of the profile-above-background heights at the band's two edges.
    double getAverageBaseLine() const;
    // The contour (left, top, right, bottom lists in that order) as a polygon
    // region, winding fill. Returns false, leaving *rgn empty, when the
    // contour has fewer than three points and so encloses nothing.
    bool getRegion(QRegion *rgn) const;
    // Bounding box of that region (right and bottom exclusive); false and an
    // empty rectangle when there is no region.
    bool getRecRegion(CRect *rect) const;
    // Clears 'points' and appends the left, top, right and bottom lists.
    void getPerimeterPoints(CPointArray &points) const;

    // value / total, the share of one band in its lane; 0 when the lane's
    // total is 0 (or not finite), where the quotient would mean nothing.
    static double laneFraction(double value, double total);
    // Sets the peak-area and intensity fractions of the bands of one lane
    // from their peak areas and intensities.
    static void setLaneFractions(const std::vector<BandData *> &laneBands);

    // Fields, in stored order of the record's description ----------------------
    CPoint m_centerOfGravity;         // 1 intensity-weighted centre
    CRect m_detectedRect;             // 2 rectangle found by band detection
    // 3 Band detection writes the intensity class (1..5) here; measurement
    // never reads it. Kept and stored as found.
    int m_intensityClass = 0;
    int m_centerValue = 0;            // 4 image value at the centre (detection: profile value)
    double m_peakWidth = 0.0;         // 5 Gaussian half-height width (detection)
    double m_gaussianFit = 0.0;       // 6 Gaussian fit coefficient (detection)
    // 7 Set for every band that is kept: accepted by detection, added by hand
    // or adopted from a drawn band.
    bool m_valid = false;
    double m_peakAmplitude = 0.0;     // 8
    double m_lowerEdgeHeight = 0.0;   // 9 profile - background at the bottom row
    double m_upperEdgeHeight = 0.0;   // 10 profile - background at the top row
    double m_peakArea = 0.0;          // 11
    double m_peakAreaFraction = 0.0;  // 12 share of the lane, 0..1
    double m_intensity = 0.0;         // 13 background-corrected volume
    double m_intensityFraction = 0.0; // 14 share of the lane, 0..1
    double m_calibratedIntensity = 0.0;           // 15
    double m_calibratedIntensityPercentage = 0.0; // 16 share of the lane's total x 100
    double m_calibratedMW = 0.0;                  // 17
    double m_relativeMigration = 0.0;             // 18
    bool m_hasKnownMW = false;                    // 19 m_knownMW is valid
    bool m_hasKnownIntensity = false;             // 20 m_knownIntensity is valid
    double m_knownMW = 0.0;                       // 21
    double m_knownIntensity = 0.0;                // 22
    CPointArray m_topBoundary;    // 23 along the top edge, left to right
    CPointArray m_bottomBoundary; // 24 along the bottom edge, right to left
    CPointArray m_leftBoundary;   // 25 one point
    CPointArray m_rightBoundary;  // 26 one point
    int m_surfaceArea = 0;                 // 27 pixels inside the contour
    double m_intensityPerSurfaceArea = 0.0; // 28

    // Not stored: pixels of the band's region at the largest value of the
    // picture's depth (clipped by the scanner or camera, so the intensity
    // reads too low). Counted with every measurement and after loading.
    int m_saturatedPixels = 0;

private:
    // Items 1-7, shared by every stored form.
    void serializeHead(CArchive &ar);
    // The older forms: 6 + 3 doubles, an ignored byte and double, the relative
    // migration and a counted point list into the top boundary.
    void readOldBody(CArchive &ar);
};
