#pragma once

// Fills the analysis view's window seams with the real windows: the prompt
// window of the lane and band tools, "Analysis Print Options", the printing
// of the report and the graph, the view's pages for the print commands and
// the tools' cursors. The program calls Install once before it makes its
// view; calling it again changes nothing.

namespace AnalysisViewWindows {

void Install();

} // namespace AnalysisViewWindows
