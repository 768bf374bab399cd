#pragma once

#include "testsupport/QtTestEnvironment.h"

#include <QGuiApplication>

using GuiTestEnvironment = QtTestEnvironment<QGuiApplication>;

#define DENSORA_GUI_TEST_ENVIRONMENT() DENSORA_QT_TEST_ENVIRONMENT(QGuiApplication)
