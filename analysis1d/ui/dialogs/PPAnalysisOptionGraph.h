#pragma once

#include "analysis1d/ui/dialogs/AnalysisOptionPage.h"

class GraphOptions;

// What the lane graph draws. Drawing the lane in 3D is kept in the options but
// not offered here.
class PPAnalysisOptionGraph : public AnalysisOptionPage
{
    Q_OBJECT
public:
    PPAnalysisOptionGraph(GraphOptions *options, QWidget *parent = nullptr);
};
