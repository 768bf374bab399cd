#pragma once

// The sample gel in a document with an analysis begun on it, a view seam that
// stands in for the analysis view's tools (it draws what the user would draw
// and tells the analysis as the tools do), and in-memory settings and scripted
// prompts for each test.

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/AnalysisSetup.h"
#include "analysis1d/engine/AnalysisViewSeam.h"
#include "analysis1d/engine/DetectionSlider.h"
#include "analysis1d/engine/ExampleBand.h"
#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"
#include "platform/ProfileStore.h"
#include "platform/Prompts.h"
#include "tools/gelsynth/GelDescription.h"
#include "tools/gelsynth/GelSynth.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

// Where the sample gel is drawn: dark bands, eight lanes, lane 1 a ladder.
inline const CRect kSampleArea(30, 20, 740, 575);
inline const CRect kSampleExampleBand(140, 171, 210, 189);

class TestViewSeam : public AnalysisViewSeam
{
public:
    explicit TestViewSeam(Analysis1DDoc &doc) : m_doc(doc) { }

    QObject *DialogParent() const override { return m_parent; }
    void DeselectAllAndRepaint() override { ++m_repaints; }
    void StartTool(int toolType) override { m_tools.append(toolType); }

    // The user drags the area / the example band with the current tool.
    void DrawArea(const CRect &rect)
    {
        const TVFImage *image = m_doc.GetImage();
        m_doc.Add(std::make_unique<AnalysisArea>(
                      rect, CRect(0, 0, int(image->getWidth()), int(image->getHeight())))
                      .release());
        m_doc.GetAnalysis()->AnalysisAreaDrawn();
    }
    void DrawExampleBand(const CRect &rect)
    {
        m_doc.Add(
            std::make_unique<ExampleBand>(rect, m_doc.GetAnalysisArea()->m_position).release());
        m_doc.GetAnalysis()->ExampleBandDrawn();
    }

    int LastTool() const { return m_tools.isEmpty() ? -1 : m_tools.last(); }
    QObject *m_parent = nullptr;
    QList<int> m_tools;
    int m_repaints = 0;

private:
    Analysis1DDoc &m_doc;
};

class DialogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_previousStore = ProfileStore::install(std::make_unique<MemoryProfileStore>());
        loadSampleGel();
        m_seam = std::make_unique<TestViewSeam>(m_doc);
        AnalysisViewSeam::Attach(nullptr, m_seam.get());
    }
    void TearDown() override
    {
        m_doc.RemoveAnalysis();
        flushDeletes();
        m_seam.reset();
        ProfileStore::install(std::move(m_previousStore));
    }

    void loadSampleGel()
    {
        // Rendered once for the whole program.
        static const std::unique_ptr<GelSynth> gel = [] {
            const QString root = qEnvironmentVariableIsSet("DENSORA_SOURCE_DIR")
                ? qEnvironmentVariable("DENSORA_SOURCE_DIR")
                : QStringLiteral(".");
            auto g = std::make_unique<GelSynth>(
                GelDescription::fromFile(root + QStringLiteral("/samples/sample-gel.txt")));
            g->render();
            return g;
        }();
        auto drawImage = std::make_unique<CDrawImage>();
        drawImage->Create(8, 8, 8, nullptr);
        *drawImage->GetImage() = gel->toBitmap();
        drawImage->SizeToImage();
        m_doc.Add(drawImage.release());
    }

    // Set up as the wizard would, detected with the slider at "More Bands".
    Analysis1D *setUpAndDetect()
    {
        AnalysisSetup setup(m_doc);
        setup.Begin();
        AnalysisSetup::Shapes shapes;
        shapes.objectsDarker = true;
        shapes.area = kSampleArea;
        shapes.exampleBand = kSampleExampleBand;
        shapes.wellsRow = 40;
        shapes.dyeFrontRow = 565;
        EXPECT_TRUE(setup.Run(shapes));
        setup.Detect(DetectionSlider::ThresholdFromSlider(DetectionSlider::kMaximum));
        m_doc.GetAnalysis()->CalculateAnalysisData();
        return m_doc.GetAnalysis();
    }

    template<typename T> T *topLevel() const
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *found = qobject_cast<T *>(w); found && w->isVisible())
                return found;
        }
        return nullptr;
    }

    static void flushDeletes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::unique_ptr<ProfileStore> m_previousStore;
    ScopedScriptedPrompts m_prompts;
    Analysis1DDoc m_doc;
    std::unique_ptr<TestViewSeam> m_seam;
};
