#include "canvas/CanvasGesture.h"

#include "canvas/CanvasHitTest.h"

#include <algorithm>
#include <climits>

namespace {

QString Num(long long v) { return QString::number(v); }

int AddClamped(int a, int b)
{
    return int(std::clamp<long long>((long long)a + b, INT_MIN, INT_MAX));
}

}

TDialogueNode* TCanvasGesture::NodeAt(QPoint p) const
{
    return NodeAtPoint(S.Project, S.View, p);
}

TPortHit TCanvasGesture::PortAt(QPoint p)
{
    if (!S.Project)
        return {};
    const TPortHit hit = PortAtPoint(S.Project, S.View, p);
    if (E.LogAttached()) {
        if (hit.Node)
            E.Log(QStringLiteral("PortAtPoint: found node=") + hit.Node->ID() + QStringLiteral(" options=")
                  + Num(qsizetype(hit.Node->PlayerOptions().size())));
        else
            E.Log(QStringLiteral("PortAtPoint: no node at pt=") + Num(p.x()) + QLatin1Char(',') + Num(p.y()));
    }
    return hit;
}

void TCanvasGesture::Press(TCanvasButton button, TCanvasModifiers mods, QPoint p)
{
    C.ForgetVanishedNodes();
    S.MouseStart = p;
    S.LastMousePos = p;
    if (E.LogAttached())
        E.Log(QStringLiteral("MouseDown: btn=") + Num(int(button)) + QStringLiteral(" x=") + Num(p.x())
              + QStringLiteral(" y=") + Num(p.y()));

    if (button == cbRight) {
        S.RightClickNode = NodeAt(p);
        E.ShowContextMenu(p);
        return;
    }

    const TPortHit port = PortAt(p);
    if (port.Option >= 0) {
        S.ConnectFrom = port.Node;
        S.ConnectFromOpt = port.Option;
    }
    if (E.LogAttached())
        E.Log(QStringLiteral("MouseDown: portIdx=") + Num(port.Option) + QStringLiteral(" from=")
              + (S.ConnectFrom ? S.ConnectFrom->ID() : QStringLiteral("nil")));
    if (port.Option >= 0) {
        S.Action = ncaConnecting;
        if (E.LogAttached())
            E.Log(QStringLiteral("MouseDown: Started connection from ") + S.ConnectFrom->ID()
                  + QStringLiteral(" opt=") + Num(port.Option));
        E.Repaint();
        return;
    }

    TDialogueNode* node = NodeAt(p);
    if (button == cbLeft && node && mods.Shift) {
        S.ConnectFrom = node;
        S.ConnectFromOpt = -1;
        S.Action = ncaConnecting;
    } else if (button == cbLeft && node) {
        PressOnNode(node, mods);
    } else if (button == cbLeft) {
        if (!mods.Ctrl)
            C.ClearSelection();
        S.Action = ncaSelecting;
        S.Selecting = true;
        S.SelectRect = {p.x(), p.y(), p.x(), p.y()};
    } else {
        S.Action = ncaPanning;
    }
    E.Repaint();
}

void TCanvasGesture::PressOnNode(TDialogueNode* node, TCanvasModifiers mods)
{
    if (mods.Ctrl) {
        if (node->Selected())
            C.RemoveFromSelection(node);
        else
            C.AddToSelection(node);
    } else if (!node->Selected()) {
        C.ClearSelection();
        C.AddToSelection(node);
        E.NodeSelected(node->ID());
    }
    // A press on a node that is already selected keeps the group, so the
    // whole selection can be dragged.
    S.Action = ncaDragging;
    S.DragNode = node;
    S.DragStartX = node->X();
    S.DragStartY = node->Y();
}

void TCanvasGesture::Move(QPoint p)
{
    S.LastMousePos = p;
    switch (S.Action) {
    case ncaDragging:
        if (S.DragNode)
            DragTo(p);
        break;
    case ncaConnecting:
        E.Repaint();
        break;
    case ncaSelecting:
        RubberBandTo(p);
        break;
    case ncaPanning:
        S.View.PanBy(p.x() - S.MouseStart.x(), p.y() - S.MouseStart.y());
        S.MouseStart = p;
        E.Repaint();
        break;
    case ncaNone:
        break;
    }
    if (NodeAt(p))
        S.Cursor = ccMove;
    else
        S.Cursor = S.Action == ncaPanning ? ccHand : ccArrow;
}

void TCanvasGesture::DragTo(QPoint p)
{
    // Measured from the press point every time, so rounding never accumulates.
    const double z = S.View.Zoom();
    const int newX = S.Snap(AddClamped(S.DragStartX, RoundEven((p.x() - S.MouseStart.x()) / z)));
    const int newY = S.Snap(AddClamped(S.DragStartY, RoundEven((p.y() - S.MouseStart.y()) / z)));
    const int ddx = newX - S.DragNode->X();
    const int ddy = newY - S.DragNode->Y();
    for (TDialogueNode* node : S.SelectedNodes) {
        node->SetX(AddClamped(node->X(), ddx));
        node->SetY(AddClamped(node->Y(), ddy));
    }
    // Lands on the snapped spot even when a Ctrl press took it out of the
    // selection.
    S.DragNode->SetX(newX);
    S.DragNode->SetY(newY);
    E.Repaint();
}

void TCanvasGesture::RubberBandTo(QPoint p)
{
    S.SelectRect = TCanvasRect::Normalized(S.MouseStart, p);
    S.SelectedNodes.clear();
    if (S.Project) {
        for (const auto& node : S.Project->Nodes()) {
            const bool inside = NodeRect(*node, S.View).Touches(S.SelectRect);
            node->SetSelected(inside);
            if (inside)
                S.SelectedNodes.append(node.get());
        }
    }
    E.Repaint();
}

void TCanvasGesture::Release(QPoint p)
{
    switch (S.Action) {
    case ncaDragging:
        if (S.Project) {
            S.Project->SetModified(true);
            E.Modified();
        }
        break;
    case ncaConnecting:
        FinishConnection(p);
        break;
    case ncaSelecting:
    case ncaPanning:
    case ncaNone:
        break;
    }
    EndGesture();
}

void TCanvasGesture::FinishConnection(QPoint p)
{
    TDialogueNode* from = S.Owns(S.ConnectFrom) ? S.ConnectFrom : nullptr;
    const int fromOpt = S.ConnectFromOpt;
    const TPortHit hit = PortAt(p);
    TDialogueNode* target = hit.Node;
    const int portIdx = hit.Option;
    if (E.LogAttached()) {
        QString line = QStringLiteral("Connecting: source=");
        line += from ? from->ID() + QStringLiteral(" optIdx=") + Num(fromOpt) + QStringLiteral(" options=")
                           + Num(qsizetype(from->PlayerOptions().size()))
                     : QStringLiteral("nil");
        line += QStringLiteral(" target=");
        line += target ? target->ID() + QStringLiteral(" optIdx=") + Num(portIdx) : QStringLiteral("nil");
        E.Log(line);
    }
    if (!from || !target)
        return;
    const QString fromID = from->ID();
    if (portIdx >= 0) {
        E.ConnectionMade(fromID, target->ID(), fromOpt);
        // Released on one of the target's own ports: that option links back.
        // The host may have changed the project in its handler; look again.
        if (S.Owns(target) && portIdx < int(target->PlayerOptions().size())) {
            target->PlayerOptions()[size_t(portIdx)]->TargetNodeID = fromID;
            S.Project->SetModified(true);
        }
    } else if (target != from) {
        E.ConnectionMade(fromID, target->ID(), fromOpt);
    }
}

void TCanvasGesture::EndGesture()
{
    S.Action = ncaNone;
    S.DragNode = nullptr;
    S.ConnectFrom = nullptr;
    S.ConnectFromOpt = -1;
    S.Selecting = false;
    S.Cursor = ccArrow;
    E.Repaint();
}

void TCanvasGesture::DoubleClick()
{
    if (TDialogueNode* node = NodeAt(S.LastMousePos))
        E.NodeDoubleClicked(node->ID());
}

void TCanvasGesture::Wheel(QPoint p, int delta)
{
    if (S.View.WheelZoom(p, delta))
        E.Repaint();
}

bool TCanvasGesture::Key(TCanvasKey key, TCanvasModifiers mods)
{
    switch (key) {
    case TCanvasKey::Delete:
        C.DeleteSelected();
        return true;
    case TCanvasKey::G:
        C.ToggleGrid();
        return true;
    default:
        break;
    }
    if (!mods.Ctrl)
        return false;
    switch (key) {
    case TCanvasKey::Minus: C.ZoomOut(); return true;
    case TCanvasKey::Equal: C.ZoomIn(); return true;
    case TCanvasKey::Zero: C.ZoomReset(); return true;
    case TCanvasKey::A: C.SelectAll(); return true;
    case TCanvasKey::F: C.FitAll(); return true;
    default: return false;
    }
}
