#pragma once
// Deep copies of a dialogue project for the undo history and the autosave
// copy. Every field is copied, the ones the project file leaves out too
// (option conditions, original IDs, selection flags), so restoring a copy
// gives back exactly the document that was recorded.

#include "model/DialogueTypes.h"

#include <memory>

namespace ProjectSnapshot {

std::unique_ptr<TDialogueProject> Clone(const TDialogueProject& source);
std::unique_ptr<TDialogueNode> CloneNode(const TDialogueNode& source);

// Puts every field of `saved` into `target`, a node of the same ID and
// type, keeping the target object that the project and canvas point to.
void RestoreNode(TDialogueNode& target, const TDialogueNode& saved);

// Puts the document of `snapshot` into `target`, keeping the target's
// identity (other windows hold a pointer to it) and its file path.
void Restore(TDialogueProject& target, const TDialogueProject& snapshot);

// Cheap check for canvas gestures: same nodes in the same places, same
// start marks. Used to skip undo points for clicks that moved nothing.
bool SameLayout(const TDialogueProject& a, const TDialogueProject& b);

}
