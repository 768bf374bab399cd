#pragma once

// Geometry shared by the analysis shapes drawn on the gel (analysis area, dye
// front, loading wells): where their labels may reach, and how the two
// reference strips move and repaint.

#include "platform/Geometry.h"

#include <QString>

class CDrawObject;
class CDrawView;

namespace AnalysisShapes {

// A logical rectangle that surely holds a label drawn with the object's text
// attributes at 'at'. Labels keep their screen size while the view zooms out, so
// in logical units they grow; repainting only the shape would leave trails of
// the label behind when the shape moves. Estimated generously from the pixel
// size, so no font machinery is needed.
CRect LabelExtent(const CDrawObject &obj, const QString &text, CPoint at, CDrawView *pView);

// A reference strip spans the analysis area; it only moves up and down: the new
// rectangle takes top and bottom from 'requested' and keeps the current left and
// right.
CRect KeepHorizontalExtent(const CRect &current, const CRect &requested);

// The strip's normalised rectangle inflated by the tracker margin m horizontally
// and by max(m, 2 * labelOffsetY) vertically.
CRect StripAreaToBeRepainted(const CDrawObject &obj, int labelOffsetY, CDrawView *pView);

// After the user moved the dye front or the loading wells in a view of an
// analysis document: the lines' distances are kept for the next analysis, and
// an analysis that is set up re-measures its bands (their relative migration
// counts from these rows). Nothing while the set-up wizard runs or without a
// view.
void ReferenceLineMoved(CDrawView *pView);

} // namespace AnalysisShapes
