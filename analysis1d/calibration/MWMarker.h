#pragma once

// One marker band of a molecular-weight ladder placed on a lane, drawn with
// its weight beside it. Only documents of the oldest form still carry markers;
// reading them turns the weights into known molecular weights of the bands.

#include "contracts/analysis/AnalysisOverlay.h"

class MWMarker : public AnalysisOverlay
{
    DECLARE_SERIAL(MWMarker)

public:
    static constexpr COLORREF c_markerColor = 0x000080FF; // orange

    MWMarker();
    MWMarker(const MWMarker &other);
    // position and bound in analysis coordinates, analysisArea in gel pixels.
    MWMarker(const CRect &position, const CRect &bound, const CRect &analysisArea,
             double molecularWeight);
    ~MWMarker() override;
    MWMarker &operator=(const MWMarker &other);
    CDrawObject &operator=(const CDrawObject &other) override;
    bool operator==(const CDrawObject &other) const override;

    // Schema 0: the overlay part, then the weight as a double.
    void Serialize(CArchive &ar) override;
    void Serialize(CArchive &ar, int version);

    // The marker's rectangle and its weight ("%0.1f") to its right.
    void Draw(QPainter *pDC, CDrawView *pView) override;
    CDrawObject *Clone(CDrawDocument *pDoc) override;

    double GetMolecularWeight() const { return m_MolecularWeight; }
    void SetMolecularWeight(double weight) { m_MolecularWeight = weight; }
    QString GetLabel() const;

    double m_MolecularWeight = 0.0;

private:
    void setDefaultColors();
};
