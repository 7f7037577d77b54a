#pragma once
// Everything the canvas remembers between events: the project shown, the
// view, the display switches, the selection and the gesture in progress.
// The widget owns one; the commands, the gesture machine and the renderer
// work on it.

#include "canvas/CanvasTransform.h"
#include "canvas/NodeGeometry.h"
#include "model/DialogueTypes.h"

#include <QPoint>
#include <QString>
#include <QVector>

enum TNodeCanvasAction { ncaNone, ncaDragging, ncaConnecting, ncaSelecting, ncaPanning };

enum TCanvasCursor { ccArrow, ccMove, ccHand };

struct TCanvasState {
    TDialogueProject* Project = nullptr;   // shown, not owned; may be null
    TCanvasTransform View;
    int Width = 0;                         // client size in pixels
    int Height = 0;

    bool ShowGrid = true;
    bool SnapToGrid = true;
    int GridSize = 20;
    bool ShowMinimap = true;

    // The selection in the order nodes joined it; each node's Selected flag
    // mirrors it and is what the drawing uses.
    QVector<TDialogueNode*> SelectedNodes;

    TNodeCanvasAction Action = ncaNone;
    QPoint MouseStart;                     // gesture start; context-menu anchor
    QPoint LastMousePos;
    TDialogueNode* DragNode = nullptr;
    int DragStartX = 0;
    int DragStartY = 0;
    bool Selecting = false;
    TCanvasRect SelectRect;
    TDialogueNode* ConnectFrom = nullptr;
    int ConnectFromOpt = -1;               // -1: the node's own next link
    TDialogueNode* RightClickNode = nullptr;
    TCanvasCursor Cursor = ccArrow;

    int Snap(int v) const { return SnapValue(v, GridSize, SnapToGrid); }
    // Whether `node` is still one of the project's nodes (the host may have
    // replaced or deleted nodes since a reference was taken).
    bool Owns(const TDialogueNode* node) const;
};

// What the canvas reports to its host. Every method may be left as it is.
class TCanvasEvents {
public:
    virtual ~TCanvasEvents() = default;
    virtual void NodeSelected(const QString& nodeID) { (void)nodeID; }
    virtual void NodeDoubleClicked(const QString& nodeID) { (void)nodeID; }
    virtual void ConnectionMade(const QString& fromID, const QString& toID, int optIdx)
    {
        (void)fromID; (void)toID; (void)optIdx;
    }
    virtual void Modified() {}
    // Diagnostic lines are only built when someone listens.
    virtual bool LogAttached() const { return false; }
    virtual void Log(const QString& msg) { (void)msg; }
    virtual void Repaint() {}
    virtual void ShowContextMenu(QPoint clientPos) { (void)clientPos; }
};
