#pragma once

// One vertical track of the gel: a rectangle in analysis coordinates (left and
// right edges of the lane, top 0, bottom the analysis-image height) with the
// intensity profile taken down its centre, the background under that profile,
// the Gaussian decomposition of the profile and the lane's bands, top to bottom.
// Lanes are held by value in the analysis's lane array; every copy carries the
// whole lane, bands and Gaussians included.

#include "analysis1d/engine/Band.h"
#include "contracts/analysis/AnalysisOverlay.h"
#include "data/CIntDataArray.h"
#include "numerics/CGaussianArray.h"
#include "platform/CArray.h"

#include <QStringList>

class Analysis1D;
class Analysis1DDoc;
class BandsOptions;
class LanesOptions;
class RasterImageGS16;

class Lane : public AnalysisOverlay
{
    DECLARE_SERIAL(Lane)

public:
    // Colour of a lane's outline and number: pure red.
    static constexpr COLORREF kLaneColor = 255;
    // Menu resource of the lane's context menu and title of its information list.
    static constexpr int kPopupMenuId = 12156;

    // An empty lane.
    Lane();
    // position and bound in analysis coordinates, analysisArea in gel pixels;
    // the three arrays are copied.
    Lane(const CRect &position, const CRect &bound, const CRect &analysisArea,
         const CIntDataArray &centerLine, const CIntDataArray &profile,
         const CIntDataArray &background);
    // The overlay part, then CopyLaneData.
    Lane(const Lane &other);
    ~Lane() override;

    // The overlay part by assignment, then CopyLaneData.
    Lane &operator=(const Lane &other);
    CDrawObject &operator=(const CDrawObject &other) override;

    // Bands (each a full copy), centre line, background, profile, the Gaussians
    // and the reserved value of 'other'.
    void CopyLaneData(const Lane &other);

    // Schema 2 form, see the .cpp.
    void Serialize(CArchive &ar) override;
    // The lane as analyses of version 2 stored it (the caller has read the
    // lane's class tag, if any, and passes its schema for the overlay part).
    void ReadOldVersion(CArchive &ar, int schema = 0);
    // The Gaussian array in the classic array form: the count (archive count
    // encoding), then amplitude, centre and width of each Gaussian as int32.
    static void SerializeGaussians(CArchive &ar, CGaussianArray &gaussians);

    // A new lane, copy of this one; added to the document when one is given.
    CDrawObject *Clone(CDrawDocument *pDoc) override;
    // The lane's position lines in a list titled "Lane info".
    void OnEditProperties(CDrawView *pView) override;

    // Measures every band against the lane's background and profile, then
    // each band's share of the lane's peak area and intensity (0 to 1).
    void CalculateBandsData(RasterImageGS16 *image, int wellY, int dyeFrontY);
    // Adds a band of the given height centred at (x, y) (analysis coordinates)
    // at 'index', traces its outline with the contour percentage and updates
    // the band boundaries.
    void AddBand(int index, int bandHeight, RasterImageGS16 *image, int contour, int x, int y);
    // Inserts a copy of the band at index 0..band count; another index raises
    // CInvalidArgException.
    void InsertBand(const Band &band, int index);
    // Removes band 'index' (CInvalidArgException when out of range).
    void RemoveBand(int index);
    // Each band may move between its neighbours, within the lane's bound.
    void setBandBoundaries();
    // Where a band may be added at the gel-pixel point: its index, or -1 when
    // the point lies on a band or between touching bands.
    int GetBandIndexForAddition(int x, int y);

    // The lane's outline (when laneOptions->m_Show), its number laneIndex + 1
    // (when laneOptions->m_Show_Number) and each band through the band's own
    // drawing with its index and the band options. Null options draw as the
    // option defaults do.
    using AnalysisOverlay::Draw;
    virtual void Draw(QPainter *pDC, CDrawView *pView, int laneIndex,
                      const LanesOptions *laneOptions, BandsOptions *bandOptions);

    // The lines the lane information list shows ("Lane info"): the position.
    void GetInfoLines(QStringList &lines) const;

    // Bands ---------------------------------------------------------------------
    int GetNumberOfBands() const { return m_Bands.GetSize(); }
    // Raises CInvalidArgException outside 0..count - 1.
    Band &GetBand(int index) { return m_Bands[index]; }
    const Band &GetBand(int index) const { return m_Bands[index]; }
    CArray<Band> *GetBands() { return &m_Bands; }
    const CArray<Band> *GetBands() const { return &m_Bands; }

    // Profiles -------------------------------------------------------------------
    CIntDataArray *GetCenterLine() { return &m_CenterLine; }
    CIntDataArray *GetBackground() { return &m_Background; }
    CIntDataArray *GetProfile() { return &m_Profile; }
    const CIntDataArray *GetCenterLine() const { return &m_CenterLine; }
    const CIntDataArray *GetBackground() const { return &m_Background; }
    const CIntDataArray *GetProfile() const { return &m_Profile; }

    // Gaussians: the decomposition the band detector fitted to this lane's profile.
    const CGaussianArray &GetGaussians() const { return m_Gaussians; }
    CGaussianArray *getGaussians() { return &m_Gaussians; }
    void SetGaussians(const CGaussianArray &gaussians) { m_Gaussians = gaussians; }

    // A value stored with the lane and written back; nothing else reads it.
    int GetReserved() const { return m_Reserved; }
    void SetReserved(int value) { m_Reserved = value; }

private:
    void init();
    // Bands as the current stored form keeps them: count, then each as an object.
    void storeBands(CArchive &ar) const;
    void loadBands(CArchive &ar);

    CGaussianArray m_Gaussians;
    CArray<Band> m_Bands; // top to bottom
    CIntDataArray m_CenterLine; // x of the lane centre per row
    CIntDataArray m_Background; // per row
    CIntDataArray m_Profile; // per row, mean across the beam
    int m_Reserved = 0;
};
