#pragma once

// Command identifiers of the gel analysis (the ribbon category "1D Gel
// Analysis", the lane and band menus and the view's other analysis commands),
// and the resource numbers of the analysis view's cursors and dialogs. Each
// command is one QAction in the CommandRegistry, registered by
// Analysis1DView::RegisterCommands.

namespace Analysis1DCmd {

// Ribbon: "Start" panel.
inline constexpr int Start = 12001;
// Ribbon: "Lanes and Bands" panel.
inline constexpr int DrawBand = 12090;
inline constexpr int AutoDetect = 12003;
inline constexpr int AddLane = 12004;
inline constexpr int AddBand = 12005;
inline constexpr int DeleteLane = 12006;
inline constexpr int DeleteBand = 12007;
// Ribbon: "Calibration" panel, "View Calibration Values".
inline constexpr int ViewCalibrationValues = 12009;
// Ribbon: "Data" panel, "Analysis Data" (the main frame's command: it toggles
// the pane with the report and the graph).
inline constexpr int AnalysisData = 12010;

// Images of the ribbon category.
inline constexpr int RibbonSmallImages = 12012;
inline constexpr int RibbonLargeImages = 12011;

// Band menu (menu 12155): "Assign known values", "Delete", "Properties".
inline constexpr int BandMenu = 12155;
inline constexpr int BandAssignKnownValues = 12170;
inline constexpr int BandDelete = 12171;
inline constexpr int BandProperties = 12172;
// Lane menu (menu 12156): "Assign MW Ladder", "Delete", "Properties".
inline constexpr int LaneMenu = 12156;
inline constexpr int LaneAssignLadder = 12173;
inline constexpr int LaneDelete = 12174;
inline constexpr int LaneProperties = 12175;

// The view's other analysis commands (menus and the set-up steps).
inline constexpr int AnalysisArea = 12180;
inline constexpr int BackgroundArea = 12181;
inline constexpr int ExampleBand = 12182;
inline constexpr int SetDyeFrontAndWells = 12183;
inline constexpr int EditBand = 12184;
inline constexpr int DrawLane = 12185;
inline constexpr int AssignKnownAmounts = 12186;
inline constexpr int SaveImageWithOverlay = 12187;
// The whole analysis as one PDF report (gel, table, graphs, calibration).
inline constexpr int AnalysisReport = 12188;

// Cursors of the click tools (drawn as the program's own cursor images).
inline constexpr int CursorAddLane = 12092;
inline constexpr int CursorAddBand = 12093; // also the band pick tools over a band
inline constexpr int CursorDeleteBand = 12094;
inline constexpr int CursorDeleteLane = 12095;

// The modeless prompt dialog of the lane and band tools and its text control.
inline constexpr int PromptDialog = 12096;
inline constexpr int PromptText = 12097;

// "Analysis Print Options" and its check boxes.
inline constexpr int PrintImage = 12100;
inline constexpr int PrintReport = 12101;
inline constexpr int PrintGraph = 12102;
inline constexpr int PrintOptionsDialog = 12103;

} // namespace Analysis1DCmd
