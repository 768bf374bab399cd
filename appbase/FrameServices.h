#pragma once

// What the headless views ask of the main frame: the ribbon's colour and
// line-weight buttons, the status bar and its zoom slider. The frame
// (CDSRBaseFrame) installs itself; without a frame (batch tool, most tests)
// every question answers "no choice" and texts go nowhere.

#include <QString>

class FrameServices
{
public:
    virtual ~FrameServices() = default;

    // The colour chosen on the ribbon colour button `id` (COLORREF 0x00BBGGRR;
    // its automatic colour when the automatic choice is selected), or -1 when
    // there is no such button or no choice.
    virtual long GetColorFromColorButton(int id) const = 0;
    // The selected entry of the line-weight gallery plus one ("1 pt" ... "7 pt"
    // give 1 ... 7), or -1 when nothing is selected.
    virtual int GetWeightFromLineWeight(int id) const = 0;
    virtual void DisplayStatusBarText(const QString &text) = 0;
    // Moves the status-bar zoom slider to a zoom factor (1.0 = 100 %).
    virtual void SetZoomSlider(float zoomFactor) = 0;

    // The installed frame, or null. The frame removes itself when destroyed.
    static FrameServices *instance();
    static void install(FrameServices *frame);
};
