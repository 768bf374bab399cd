#include "testsupport/GuiTestEnvironment.h"

// Labels and pictures are painted with fonts, which need a GUI application object.
DENSORA_GUI_TEST_ENVIRONMENT()
