#pragma once
// What lies under a client point: the topmost node box (the last node in the
// project list wins, whatever the drawing order) and its output ports.

#include "canvas/CanvasTransform.h"
#include "model/DialogueTypes.h"

#include <QPoint>

// The node whose box contains p, walking the list from last to first; null
// without a project or when no box contains p.
TDialogueNode* NodeAtPoint(const TDialogueProject* project, const TCanvasTransform& t, QPoint p);

struct TPortHit {
    TDialogueNode* Node = nullptr;   // the node under the point, if any
    int Option = -1;                 // option index of the port hit, or -1
};

// The output port under p. Only the node found by NodeAtPoint is tested, so
// the half of a port sticking out past the box's right edge is not hittable;
// the one port drawn on a node without options is never reported.
TPortHit PortAtPoint(const TDialogueProject* project, const TCanvasTransform& t, QPoint p);
