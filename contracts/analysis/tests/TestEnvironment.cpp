#include "testsupport/WidgetTestEnvironment.h"

// Labels are painted with fonts and the table and graph windows are widgets.
DENSORA_WIDGET_TEST_ENVIRONMENT()
