#include "testsupport/GuiTestEnvironment.h"

DENSORA_GUI_TEST_ENVIRONMENT()
