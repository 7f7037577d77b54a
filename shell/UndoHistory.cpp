#include "shell/UndoHistory.h"

#include "shell/ProjectSnapshot.h"

void TUndoHistory::Record(const TDialogueProject& current)
{
    RecordSnapshot(ProjectSnapshot::Clone(current));
}

void TUndoHistory::RecordNode(const TDialogueNode& node)
{
    Push(FUndo, {nullptr, ProjectSnapshot::CloneNode(node)});
    FRedo.clear();
}

void TUndoHistory::RecordSnapshot(std::unique_ptr<TDialogueProject> snapshot)
{
    Push(FUndo, {std::move(snapshot), nullptr});
    FRedo.clear();
}

void TUndoHistory::Push(TStack& stack, TPoint point)
{
    stack.push_back(std::move(point));
    while (int(stack.size()) > Limit)
        stack.pop_front();
}

bool TUndoHistory::Step(TStack& from, TStack& to, TDialogueProject& current)
{
    while (!from.empty()) {
        TPoint target = std::move(from.back());
        from.pop_back();
        if (target.Project) {
            Push(to, {ProjectSnapshot::Clone(current), nullptr});
            ProjectSnapshot::Restore(current, *target.Project);
            return true;
        }
        // Points are taken back in order, so the node is there; a point
        // whose node is gone all the same is dropped.
        if (TDialogueNode* live = current.FindNode(target.Node->ID())) {
            Push(to, {nullptr, ProjectSnapshot::CloneNode(*live)});
            ProjectSnapshot::RestoreNode(*live, *target.Node);
            return true;
        }
    }
    return false;
}

bool TUndoHistory::Undo(TDialogueProject& current) { return Step(FUndo, FRedo, current); }
bool TUndoHistory::Redo(TDialogueProject& current) { return Step(FRedo, FUndo, current); }

void TUndoHistory::Clear()
{
    FUndo.clear();
    FRedo.clear();
}
