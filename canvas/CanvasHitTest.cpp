#include "canvas/CanvasHitTest.h"

#include "canvas/NodeGeometry.h"

TDialogueNode* NodeAtPoint(const TDialogueProject* project, const TCanvasTransform& t, QPoint p)
{
    if (!project)
        return nullptr;
    // The point in world units, with a slack wider than any rounding of the
    // box edges: nodes clearly away from it are passed over without
    // computing their boxes.
    const double z = t.Zoom();
    const double wx = (double(p.x()) - t.OffsetX()) / z;
    const double wy = (double(p.y()) - t.OffsetY()) / z;
    const double slack = 2.0 / z + 2.0;
    const auto& nodes = project->Nodes();
    for (size_t i = nodes.size(); i-- > 0;) {
        const TDialogueNode& n = *nodes[i];
        if (wx < n.X() - slack || wy < n.Y() - slack || wx > double(n.X()) + n.Width() + slack
            || wy > double(n.Y()) + n.Height() + slack)
            continue;
        if (NodeRect(n, t).Contains(p))
            return nodes[i].get();
    }
    return nullptr;
}

TPortHit PortAtPoint(const TDialogueProject* project, const TCanvasTransform& t, QPoint p)
{
    TPortHit hit;
    hit.Node = NodeAtPoint(project, t, p);
    if (!hit.Node)
        return hit;
    const TNodeGeometry g(*hit.Node, t);
    const int count = int(hit.Node->PlayerOptions().size());
    for (int i = 0; i < count; ++i) {
        if (g.OutputPortHitBox(i).Contains(p)) {
            hit.Option = i;
            break;
        }
    }
    return hit;
}
