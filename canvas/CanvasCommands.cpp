#include "canvas/CanvasCommands.h"

#include "canvas/AutoLayout.h"

#include <QSet>

void TCanvasCommands::ClearSelection()
{
    if (S.Project)
        for (const auto& node : S.Project->Nodes())
            node->SetSelected(false);
    S.SelectedNodes.clear();
}

void TCanvasCommands::AddToSelection(TDialogueNode* node)
{
    node->SetSelected(true);
    if (!S.SelectedNodes.contains(node))
        S.SelectedNodes.append(node);
}

void TCanvasCommands::RemoveFromSelection(TDialogueNode* node)
{
    node->SetSelected(false);
    S.SelectedNodes.removeAll(node);
}

void TCanvasCommands::ForgetVanishedNodes()
{
    if (!S.Project) {
        S.SelectedNodes.clear();
        S.DragNode = S.ConnectFrom = S.RightClickNode = nullptr;
        return;
    }
    QSet<const TDialogueNode*> present;
    present.reserve(S.Project->NodeCount());
    for (const auto& node : S.Project->Nodes())
        present.insert(node.get());
    S.SelectedNodes.removeIf([&](TDialogueNode* n) { return !present.contains(n); });
    if (!present.contains(S.DragNode))
        S.DragNode = nullptr;
    if (!present.contains(S.ConnectFrom))
        S.ConnectFrom = nullptr;
    if (!present.contains(S.RightClickNode))
        S.RightClickNode = nullptr;
}

void TCanvasCommands::AddNode(TNodeType nodeType, int x, int y)
{
    if (!S.Project)
        return;
    const QPoint w = S.View.ScreenToWorld(x, y);
    TDialogueNode* node = S.Project->AddNode(nodeType);
    node->SetX(S.Snap(w.x() - DivTrunc(node->Width(), 2)));
    node->SetY(S.Snap(w.y() - DivTrunc(node->Height(), 2)));
    ClearSelection();
    AddToSelection(node);
    E.NodeSelected(node->ID());
    E.Modified();
    E.Repaint();
}

void TCanvasCommands::DeleteSelected()
{
    if (!S.Project)
        return;
    ForgetVanishedNodes();
    // Deleted by reference rather than by identifier, so that with duplicate
    // identifiers the node the user selected is the one that goes.
    const QVector<TDialogueNode*> doomed = S.SelectedNodes;
    S.SelectedNodes.clear();
    for (TDialogueNode* node : doomed) {
        if (node == S.RightClickNode)
            S.RightClickNode = nullptr;
        if (node == S.DragNode)
            S.DragNode = nullptr;
        if (node == S.ConnectFrom)
            S.ConnectFrom = nullptr;
        S.Project->DeleteNode(node);
    }
    E.Modified();
    E.Repaint();
}

void TCanvasCommands::SelectAll()
{
    if (!S.Project)
        return;
    S.SelectedNodes.clear();
    for (const auto& node : S.Project->Nodes()) {
        node->SetSelected(true);
        S.SelectedNodes.append(node.get());
    }
    E.Repaint();
}

void TCanvasCommands::SelectNode(const QString& nodeID)
{
    if (!S.Project)
        return;
    TDialogueNode* node = S.Project->FindNode(nodeID);
    if (!node)
        return;
    ClearSelection();
    AddToSelection(node);
    E.NodeSelected(nodeID);
    E.Repaint();
}

void TCanvasCommands::DeleteRightClickNode()
{
    if (!S.Owns(S.RightClickNode))
        return;
    AddToSelection(S.RightClickNode);
    DeleteSelected();
}

void TCanvasCommands::SetRightClickNodeAsStart()
{
    if (!S.Project || !S.Owns(S.RightClickNode))
        return;
    for (const auto& node : S.Project->Nodes())
        node->SetIsStartNode(false);
    S.RightClickNode->SetIsStartNode(true);
    S.Project->SetStartNodeID(S.RightClickNode->ID());
    S.Project->SetModified(true);
    E.Modified();
    E.Repaint();
}

void TCanvasCommands::ShowRightClickProperties()
{
    if (S.Owns(S.RightClickNode))
        E.NodeDoubleClicked(S.RightClickNode->ID());
}

void TCanvasCommands::ZoomIn()
{
    S.View.ZoomIn();
    E.Repaint();
}

void TCanvasCommands::ZoomOut()
{
    S.View.ZoomOut();
    E.Repaint();
}

void TCanvasCommands::ZoomReset()
{
    S.View.ZoomReset();
    E.Repaint();
}

void TCanvasCommands::CenterView()
{
    S.View.Center(S.Width, S.Height);
    E.Repaint();
}

void TCanvasCommands::FitAll()
{
    switch (::FitAll(S.View, S.Project, S.Width, S.Height)) {
    case TFitResult::Centered:
    case TFitResult::Fitted:
        E.Repaint();
        break;
    case TFitResult::Unchanged:
        break;
    }
}

void TCanvasCommands::AutoLayout()
{
    if (::AutoLayout(S.Project))
        FitAll();
}

void TCanvasCommands::ToggleGrid()
{
    S.ShowGrid = !S.ShowGrid;
    E.Repaint();
}
