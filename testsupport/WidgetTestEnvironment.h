#pragma once

// Widget tests need a QApplication (a QGuiApplication is not enough for
// QWidget). Each test program that shows widgets defines one environment with
// DENSORA_WIDGET_TEST_ENVIRONMENT in one of its sources, instead of the GUI
// one; the offscreen platform is used unless the caller chose another.

#include <QApplication>
#include <gtest/gtest.h>

#include <memory>

class WidgetTestEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (QApplication::instance())
            return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "DensoraWidgetTests";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

#define DENSORA_WIDGET_TEST_ENVIRONMENT()                                                        \
    namespace {                                                                                  \
    [[maybe_unused]] ::testing::Environment *const densoraWidgetTestEnvironment =                \
        ::testing::AddGlobalTestEnvironment(new WidgetTestEnvironment);                          \
    }
