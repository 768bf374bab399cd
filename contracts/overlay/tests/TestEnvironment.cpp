#include "testsupport/WidgetTestEnvironment.h"

// Labels and pictures are painted with fonts, and the line-weight dialog is a
// widget: the program needs a QApplication.
DENSORA_WIDGET_TEST_ENVIRONMENT()
