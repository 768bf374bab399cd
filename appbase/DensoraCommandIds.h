#pragma once

// Command identifiers of the application base (the image view, its editing,
// overlay, image and zoom commands). Each is one QAction in the
// CommandRegistry; the ribbon, the menus and the tests use these numbers.
//
// The editing and printing commands keep the standard numbers of the desktop
// framework the program grew up on, so old habits (and old notes) still
// match. Our own commands use the block 32800-32899; 32835-32839 are kept for
// the stock tools (polygon, label, text) added with them.

namespace DensoraCmd {

// Standard editing and printing commands.
inline constexpr int EditClear = 57632; // Delete
inline constexpr int EditCopy = 57634;
inline constexpr int EditCut = 57635;
inline constexpr int EditPaste = 57637;
inline constexpr int EditUndo = 57643;
inline constexpr int EditRedo = 57644;
inline constexpr int FilePrint = 57607;
inline constexpr int FilePrintDirect = 57608;
inline constexpr int FilePrintPreview = 57609;

// Clipboard and printing.
inline constexpr int EditCopyAsPicture = 32800;
inline constexpr int FilePrintToPdf = 32801;

// Overlay alignment.
inline constexpr int OverlayAlignLeft = 32810;
inline constexpr int OverlayAlignRight = 32811;
inline constexpr int OverlayAlignTop = 32812;
inline constexpr int OverlayAlignBottom = 32813;

// Fill, line and weight. The colour commands share their number with the
// ribbon colour button they read (GetColorFromColorButton(id)); the weight
// command with the line-weight gallery (GetWeightFromLineWeight(id)).
inline constexpr int OverlayFillColor = 32820;
inline constexpr int OverlayNoFill = 32821;
inline constexpr int OverlayLineColor = 32822;
inline constexpr int OverlayNoLine = 32823;
inline constexpr int OverlayLineWeight = 32824;
inline constexpr int OverlayLineWeightDialog = 32825;

// Drawing tools (the current tool of the view).
inline constexpr int ToolSelect = 32830;
inline constexpr int ToolRectangle = 32831;
inline constexpr int ToolRoundRectangle = 32832;
inline constexpr int ToolEllipse = 32833;
inline constexpr int ToolLine = 32834;
inline constexpr int ToolPolygon = 32835;
inline constexpr int ToolLabel = 32836;
inline constexpr int ToolText = 32837;

// Image adjustment and processing.
inline constexpr int ImageDisplayAdjustment = 32840;
inline constexpr int ImageAutoContrast = 32841;
inline constexpr int ImageShowSaturation = 32842;
inline constexpr int ImageGreenPalette = 32843;
inline constexpr int ImageBluePalette = 32844;
inline constexpr int ImageRedPalette = 32845;
inline constexpr int ImageNormalPalette = 32846;
inline constexpr int ImageInvert = 32847;
inline constexpr int ImageFlipHorizontal = 32848;
inline constexpr int ImageFlipVertical = 32849;
inline constexpr int ImageRotateRight90 = 32850;
inline constexpr int ImageRotateLeft90 = 32851;
inline constexpr int ImageRotateArbitrary = 32852;
inline constexpr int ImageNoiseReduction = 32853;
inline constexpr int ImageCrop = 32854;
inline constexpr int ImageCopyRectangle = 32855;
inline constexpr int ImageInfo = 32856;
inline constexpr int ImageHistory = 32857;

// Zoom.
inline constexpr int ZoomToWindow = 32860;
inline constexpr int Zoom100 = 32861;
inline constexpr int ZoomIn = 32862;
inline constexpr int ZoomOut = 32863;

} // namespace DensoraCmd
