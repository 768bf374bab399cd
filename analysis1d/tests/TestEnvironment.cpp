#include "testsupport/WidgetTestEnvironment.h"

// Labels and pictures are painted with fonts, and the dialogs and result
// windows are widgets: a QApplication for the whole program.
DENSORA_WIDGET_TEST_ENVIRONMENT()
