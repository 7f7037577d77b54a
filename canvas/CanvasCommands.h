#pragma once
// The canvas's editing and view commands, as the host, the keys and the
// context menu start them. Selection lives in two places (the node flags the
// drawing reads and the ordered list dragging and deleting use); every
// command here keeps both in step.

#include "canvas/CanvasState.h"

class TCanvasCommands {
public:
    TCanvasCommands(TCanvasState& state, TCanvasEvents& events) : S(state), E(events) {}

    // Inserts a node of that type centred on client point (x, y), snapped,
    // and makes it the only selected node.
    void AddNode(TNodeType nodeType, int x, int y);
    void DeleteSelected();
    void SelectAll();
    void SelectNode(const QString& nodeID);

    // The node items of the context menu act on the node last right-clicked.
    void DeleteRightClickNode();
    void SetRightClickNodeAsStart();
    void ShowRightClickProperties();

    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    void CenterView();
    void FitAll();
    void AutoLayout();
    void ToggleGrid();

    // Selection helpers shared with the gestures.
    void ClearSelection();
    void AddToSelection(TDialogueNode* node);
    void RemoveFromSelection(TDialogueNode* node);
    // Drops references to nodes that are no longer in the project.
    void ForgetVanishedNodes();

private:
    TCanvasState& S;
    TCanvasEvents& E;
};
