#pragma once

#include "testsupport/QtTestEnvironment.h"

#include <QApplication>

using WidgetTestEnvironment = QtTestEnvironment<QApplication>;

#define DENSORA_WIDGET_TEST_ENVIRONMENT() DENSORA_QT_TEST_ENVIRONMENT(QApplication)
