#include "canvas/CanvasState.h"

bool TCanvasState::Owns(const TDialogueNode* node) const
{
    return node && Project && Project->IndexOfNode(node) >= 0;
}
