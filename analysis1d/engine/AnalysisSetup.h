#pragma once

// The set-up of an analysis as a sequence of steps on the document, without
// a display: begin (a new analysis on the picture), tone, analysis area,
// example band, reference lines (dye front, then loading wells), finish, and
// then detection. The set-up wizard runs one step per page as the user
// completes it; the batch tool runs them all at once (Run). Either way the
// document ends with the same shapes, in the same order, and the same
// analysis image.
//
// The sequence keeps no state of its own: everything it does is on the
// document and its analysis, so a wizard page may make one whenever it needs
// it. Each placing step replaces the shape the step placed before, so going
// back a page and forward again places it anew.

#include "analysis1d/engine/Analysis1D.h"
#include "platform/Colors.h"
#include "platform/Geometry.h"

#include <optional>

class Analysis1DDoc;
class TVFImage;

class AnalysisSetup
{
public:
    // Line colours of the reference strips: yellow on a gel with lighter
    // bands, orange on one with darker bands.
    static constexpr COLORREF kReferenceLineLight = 0x0000FFFF;
    static constexpr COLORREF kReferenceLineDark = 0x000080FF;

    // Everything the steps need, for running them all at once (gel pixels).
    struct Shapes
    {
        bool objectsDarker = false;
        CRect area;
        CRect exampleBand;
        std::optional<int> dyeFrontRow;
        std::optional<int> wellsRow;
    };

    explicit AnalysisSetup(Analysis1DDoc &document);

    // The analysis image is cut from 8-bit or 16-bit grey pictures only;
    // another picture must be converted first.
    static bool IsAnalysableGrey(const TVFImage &image);
    // kReferenceLineLight when the analysis's objects-lighter flag is 1.
    static COLORREF ReferenceLineColour(int whiteOnBlack);

    // Begin: removes the document's analysis with its shapes and attaches a
    // new one on the picture. Returns it (owned by the document).
    Analysis1D *Begin();
    // Tone: 0 "Objects are lighter than background", 1 "Objects are darker
    // than background".
    void SetTone(int choice);
    // Analysis area: places it (bound by the picture) and cuts the analysis
    // image from it. False when no image could be cut.
    bool SetAnalysisArea(const CRect &area);
    // The same for an area the user drew: it is final, and the image is cut.
    bool FinishAnalysisArea();
    // Example band: places it (bound by the analysis area) and makes it final.
    void SetExampleBand(const CRect &band);
    void FinishExampleBand();
    // Reference lines: each given row gets its strip across the analysis area,
    // in the colour of the tone; strips placed before are replaced. Without an
    // analysis area nothing is placed.
    void PlaceReferenceLines(std::optional<int> dyeFrontRow, std::optional<int> wellsRow);
    // At the rows where the user left them last (the general options'
    // offsets from the analysis area's bottom and top).
    void PlaceReferenceLinesAtDefaults();
    // Finish: the set-up is over (the shapes are no longer edited, the line
    // distances are kept for the next analysis).
    void Finish();
    // Every step from tone to finish, in order, on an analysis begun before.
    // False, after the area step, when no analysis image could be cut.
    bool Run(const Shapes &shapes);

    // Detection: every lane and band found at the threshold.
    void Detect(double threshold);
    // The same with progress (see Analysis1D::DetectionProgress); false when
    // the user cancelled and nothing changed.
    bool Detect(double threshold, const Analysis1D::DetectionProgress &progress);

private:
    Analysis1D &analysis() const;

    Analysis1DDoc &m_document;
};
