#pragma once

// Command identifiers of the program itself: the application button, the
// window's looks and the frame-level commands. They keep the numbers of the
// desktop framework the program grew up on; our own commands use the block
// 32900-32949.

namespace AppCmd {

inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int FilePrintSetup = 57606;
inline constexpr int FilePrint = 57607;
inline constexpr int FilePrintDirect = 57608;
inline constexpr int FilePrintPreview = 57609;
inline constexpr int AppAbout = 57664;
inline constexpr int AppExit = 57665;
inline constexpr int HelpFinder = 57667;

// Application looks: 205 ... 219; the "Style" drop-down offers 215 ... 219.
inline constexpr int AppLookFirst = 205;
inline constexpr int AppLookWin2000 = 205;
inline constexpr int AppLookOfficeXP = 206;
inline constexpr int AppLookWinXP = 207;
inline constexpr int AppLookOffice2003 = 208;
inline constexpr int AppLookVS2005 = 209;
inline constexpr int AppLookVS2008 = 210;
inline constexpr int AppLookOffice2007Blue = 215;
inline constexpr int AppLookOffice2007Black = 216;
inline constexpr int AppLookOffice2007Silver = 217;
inline constexpr int AppLookOffice2007Aqua = 218;
inline constexpr int AppLookWindows7 = 219;
inline constexpr int AppLookLast = 219;

inline constexpr int Options = 220;
inline constexpr int AnalysisData = 12010;

// Overlay templates.
inline constexpr int FileLoadOverlay = 32900;
inline constexpr int FileSaveOverlay = 32901;

} // namespace AppCmd
