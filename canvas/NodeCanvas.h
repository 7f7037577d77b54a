#pragma once
// TNodeCanvas: the custom-drawn, focusable view of the dialogue graph in the
// middle of the main window. It shows the project handed to it (never owning
// it), moves nodes, changes the selection and the start-node mark and deletes
// nodes in the model itself; links made by a connection gesture are only
// reported, and the host writes them.
//
// The transform, geometry, hit tests, gestures, layout and drawing are plain
// classes in this folder (CanvasTransform, NodeGeometry, CanvasHitTest,
// CanvasGesture, CanvasCommands, AutoLayout, CanvasRenderer); the widget
// only turns Qt events into calls on them.
//
// Events (Qt signals; QObject::sender() is the canvas):
//   OnNodeSelect(nodeID)      a plain left press selected a node that was not
//                             selected; SelectNode; AddNode (the new node)
//   OnNodeDblClick(nodeID)    a double click over a node; the context-menu
//                             item "Properties..."
//   OnConnectionMade(fromID, toID, optIdx)
//                             a connection gesture ended over another node;
//                             optIdx is the source's option index, or -1 for
//                             the source's own next link. The host writes
//                             the link (the canvas only writes the return link
//                             when the gesture ends on one of the target's
//                             own output ports).
//   OnModified()              a drag ended (even without movement);
//                             DeleteSelected (even with nothing selected);
//                             AddNode; "Set as Start Node"
//   OnLog(msg)                diagnostic lines about presses, port hits and
//                             connection gestures; built only while connected

#include "canvas/CanvasCommands.h"
#include "canvas/CanvasGesture.h"
#include "canvas/CanvasRenderer.h"
#include "canvas/CanvasState.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QMenu;

class TNodeCanvas : public QWidget {
    Q_OBJECT
public:
    explicit TNodeCanvas(QWidget* parent = nullptr);
    ~TNodeCanvas() override;

    // Shows `proj` (may be null): empties the selection list (the nodes' own
    // Selected flags stay), centres the view and repaints.
    void SetProject(TDialogueProject* proj);
    TDialogueProject* Project() const { return FState.Project; }

    void Refresh() { update(); }
    void RebuildBuffer();
    void CenterView();
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    void FitAll();
    void AutoLayout();

    // Editing commands of the host; x, y are client pixels.
    void AddNode(TNodeType nodeType, int x, int y);
    void AddNode(TNodeType nodeType, QPoint p) { AddNode(nodeType, p.x(), p.y()); }
    void DeleteSelected();
    void SelectAll();
    void SelectNode(const QString& nodeID);

    bool ShowGrid() const { return FState.ShowGrid; }
    void SetShowGrid(bool value) { FState.ShowGrid = value; }
    bool SnapToGrid() const { return FState.SnapToGrid; }
    void SetSnapToGrid(bool value) { FState.SnapToGrid = value; }
    int GridSize() const { return FState.GridSize; }
    void SetGridSize(int value) { FState.GridSize = value; }
    bool ShowMinimap() const { return FState.ShowMinimap; }
    void SetShowMinimap(bool value) { FState.ShowMinimap = value; }
    float Zoom() const { return FState.View.Zoom(); }
    int OffsetX() const { return FState.View.OffsetX(); }
    int OffsetY() const { return FState.View.OffsetY(); }
    // The selection in the order nodes joined it.
    QVector<TDialogueNode*> SelectedNodes();
    TNodeCanvasAction Action() const { return FState.Action; }
    TDialogueNode* RightClickNode() const { return FState.RightClickNode; }
    QMenu* PopupMenu() const { return FPopupMenu; }

    TCanvasRect GetNodeRect(const TDialogueNode& node) const { return NodeRect(node, FState.View); }
    // Repaints only the node's box: for a change inside its body (text,
    // speaker) that moves and resizes nothing, so a large graph is not
    // drawn again per keystroke.
    void UpdateNode(const TDialogueNode& node);
    QPoint WorldToScreen(int x, int y) const { return FState.View.WorldToScreen(x, y); }
    QPoint ScreenToWorld(int x, int y) const { return FState.View.ScreenToWorld(x, y); }
    int SnapValue(int v) const { return FState.Snap(v); }
    TDialogueNode* NodeAtPoint(QPoint p) const;
    // Option index of the output port under p, or -1.
    int PortAtPoint(QPoint p);

    // The picture of the current state at the widget's size.
    QImage RenderToImage();

Q_SIGNALS:
    void OnNodeSelect(const QString& nodeID);
    void OnNodeDblClick(const QString& nodeID);
    void OnConnectionMade(const QString& fromID, const QString& toID, int optIdx);
    void OnModified();
    void OnLog(const QString& msg);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class TEventBridge;
    void BuildPopupMenu();
    void SyncSize();
    void ApplyCursor();
    void Press(QMouseEvent* event);

    TCanvasState FState;
    std::unique_ptr<TEventBridge> FEvents;
    TCanvasCommands FCommands;
    TCanvasGesture FGesture;
    TCanvasRenderer FRenderer;
    QImage FBuffer;
    bool FBufferHoldsState = false;   // a full paint of the current size is in it
    QRect FChangedBodies;             // nodes whose insides changed since the last paint
    QMenu* FPopupMenu = nullptr;
    bool FDoubleClickPending = false;
};
