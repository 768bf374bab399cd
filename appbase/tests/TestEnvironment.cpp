// The one application object of this test program: the view tests use the
// clipboard and paint, the canvas and page tests show widgets.

#include "testsupport/WidgetTestEnvironment.h"

DENSORA_WIDGET_TEST_ENVIRONMENT()
