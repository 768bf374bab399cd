#pragma once

// Painting needs a GUI application object, widgets a QApplication; the test
// programs run off screen. Each test program defines one environment in one of
// its sources: DENSORA_GUI_TEST_ENVIRONMENT() or, when it shows widgets,
// DENSORA_WIDGET_TEST_ENVIRONMENT().

#include <QByteArray>
#include <QtGlobal>
#include <gtest/gtest.h>

#include <memory>

template<typename Application>
class QtTestEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (Application::instance())
            return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "DensoraTests";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<Application>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<Application> m_app;
};

#define DENSORA_QT_TEST_ENVIRONMENT(Application)                                                 \
    namespace {                                                                                  \
    [[maybe_unused]] ::testing::Environment *const densoraQtTestEnvironment =                    \
        ::testing::AddGlobalTestEnvironment(new QtTestEnvironment<Application>);                 \
    }
