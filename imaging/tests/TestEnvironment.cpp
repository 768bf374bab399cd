#include "testsupport/WidgetTestEnvironment.h"

DENSORA_WIDGET_TEST_ENVIRONMENT()
