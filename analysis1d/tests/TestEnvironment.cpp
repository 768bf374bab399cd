#include "analysis1d/ui/Analysis1DWindows.h"
#include "testsupport/WidgetTestEnvironment.h"

// Labels and pictures are painted with fonts, and the dialogs and result
// windows are widgets: a QApplication for the whole program.
DENSORA_WIDGET_TEST_ENVIRONMENT()

// The analyses open their wizard, dialogs and result windows, as in the
// desktop program.
namespace {
[[maybe_unused]] const bool g_windowsInstalled = (Analysis1DWindows::Install(), true);
} // namespace
