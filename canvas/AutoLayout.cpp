#include "canvas/AutoLayout.h"

#include "canvas/NodeGeometry.h"

#include <algorithm>

namespace {
constexpr int FitMargin = 40;
constexpr int LayoutColumns = 4;
constexpr int ColumnPitch = 280 + 40;
constexpr int RowPitch = 160 + 40;
}

TFitResult FitAll(TCanvasTransform& view, const TDialogueProject* project, int width, int height)
{
    if (!project || project->NodeCount() == 0) {
        view.Center(width, height);
        return TFitResult::Centered;
    }
    const TWorldBounds b = WorldBounds(*project);
    if (b.MinX >= b.MaxX || b.MinY >= b.MaxY)
        return TFitResult::Unchanged;
    const float zx = float(double(width - 2 * FitMargin) / double(b.MaxX - b.MinX));
    const float zy = float(double(height - 2 * FitMargin) / double(b.MaxY - b.MinY));
    float z = std::min(zx, zy);
    z = std::min(z, MaxZoom);
    z = std::max(z, MinZoom);
    view.SetZoom(z);
    view.SetOffset(RoundEven(FitMargin - double(b.MinX) * double(z)),
                   RoundEven(FitMargin - double(b.MinY) * double(z)));
    return TFitResult::Fitted;
}

bool AutoLayout(TDialogueProject* project)
{
    if (!project || project->NodeCount() == 0)
        return false;
    TDialogueNode* start = project->FindNode(project->StartNodeID());
    if (start) {
        start->SetX(40);
        start->SetY(40);
    }
    int cell = 0;
    for (const auto& node : project->Nodes()) {
        if (node.get() == start)
            continue;
        node->SetX(40 + (cell % LayoutColumns) * ColumnPitch);
        node->SetY(200 + (cell / LayoutColumns) * RowPitch);
        ++cell;
    }
    project->SetModified(true);
    return true;
}
