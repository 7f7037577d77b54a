#pragma once
// Fitting the view to the whole graph, and the grid placement of all nodes.

#include "canvas/CanvasTransform.h"
#include "model/DialogueTypes.h"

enum class TFitResult {
    Centered,    // nothing to fit: zoom 1, world origin in the middle
    Fitted,      // zoom and offsets now show every node
    Unchanged    // every node has zero width or height
};

// Chooses zoom and offsets for a client area of width x height pixels so that
// every node is in view, the bounds' top-left corner 40 pixels from the
// area's top-left corner.
TFitResult FitAll(TCanvasTransform& view, const TDialogueProject* project, int width, int height);

// Places the start node at (40, 40) and every other node, in list order, on
// a four-column grid below it; marks the project modified. Links, sizes and
// types play no part. Returns false when there was nothing to place.
bool AutoLayout(TDialogueProject* project);
