#pragma once

// The program's tests run inside the real application object (a QApplication
// of its own kind), off screen. Each test gets a fresh main window.

#include "app/CDensoraApp.h"
#include "app/CMainFrame.h"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

class AppTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    CDensoraApp *app() const { return CDensoraApp::instance(); }
    CMainFrame *frame() const { return app()->GetMainFrame(); }

    // A small grey gel picture written as PNG under 'path'.
    static bool writeGel(const QString &path, int width = 64, int height = 48);
};
