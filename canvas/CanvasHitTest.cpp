#include "canvas/CanvasHitTest.h"

#include "canvas/NodeGeometry.h"

TDialogueNode* NodeAtPoint(const TDialogueProject* project, const TCanvasTransform& t, QPoint p)
{
    if (!project)
        return nullptr;
    const auto& nodes = project->Nodes();
    for (size_t i = nodes.size(); i-- > 0;) {
        if (NodeRect(*nodes[i], t).Contains(p))
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
