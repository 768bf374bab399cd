#pragma once

// The cursors of the lane and band click tools, drawn here rather than
// loaded: an arrow with a small sign beside it.
//   12092 a lane may be added here (lane with a plus)
//   12093 a band may be added / picked here (band with a plus)
//   12094 the band under the cursor goes (band with a cross)
//   12095 the lane under the cursor goes (lane with a cross)
// Any other number gives the arrow.

#include <QCursor>
#include <QPixmap>

namespace AnalysisCursors {

inline constexpr int kAddLane = 12092;
inline constexpr int kAddBand = 12093;
inline constexpr int kDeleteBand = 12094;
inline constexpr int kDeleteLane = 12095;

// The 32 x 32 picture of a cursor (null for an unknown number).
QPixmap Picture(int resourceId);
QCursor Cursor(int resourceId);

} // namespace AnalysisCursors
