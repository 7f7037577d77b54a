#include "shell/UndoHistory.h"

#include "shell/ProjectSnapshot.h"

void TUndoHistory::Record(const TDialogueProject& current)
{
    RecordSnapshot(ProjectSnapshot::Clone(current));
}

void TUndoHistory::RecordSnapshot(std::unique_ptr<TDialogueProject> snapshot)
{
    FUndo.push_back(std::move(snapshot));
    while (int(FUndo.size()) > Limit)
        FUndo.pop_front();
    FRedo.clear();
}

bool TUndoHistory::Step(TStack& from, TStack& to, TDialogueProject& current)
{
    if (from.empty())
        return false;
    std::unique_ptr<TDialogueProject> target = std::move(from.back());
    from.pop_back();
    to.push_back(ProjectSnapshot::Clone(current));
    while (int(to.size()) > Limit)
        to.pop_front();
    ProjectSnapshot::Restore(current, *target);
    return true;
}

bool TUndoHistory::Undo(TDialogueProject& current) { return Step(FUndo, FRedo, current); }
bool TUndoHistory::Redo(TDialogueProject& current) { return Step(FRedo, FUndo, current); }

void TUndoHistory::Clear()
{
    FUndo.clear();
    FRedo.clear();
}
