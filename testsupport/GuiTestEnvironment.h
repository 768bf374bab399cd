#pragma once

// Painting text and pictures needs a GUI application object; the test
// programs render off screen. Each program that paints defines one
// environment with DENSORA_GUI_TEST_ENVIRONMENT in one of its sources.

#include <QGuiApplication>
#include <gtest/gtest.h>

#include <memory>

class GuiTestEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (QGuiApplication::instance())
            return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "DensoraTests";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QGuiApplication> m_app;
};

#define DENSORA_GUI_TEST_ENVIRONMENT()                                                           \
    namespace {                                                                                  \
    [[maybe_unused]] ::testing::Environment *const densoraGuiTestEnvironment =                   \
        ::testing::AddGlobalTestEnvironment(new GuiTestEnvironment);                             \
    }
