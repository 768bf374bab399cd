#include "testsupport/WidgetTestEnvironment.h"

// Labels and pictures are painted with fonts, and the dialogs are widgets.
DENSORA_WIDGET_TEST_ENVIRONMENT()
