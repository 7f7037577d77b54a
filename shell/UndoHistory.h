#pragma once
// Undo and redo of whole-document snapshots. Recording a point keeps a copy
// of the project as it is before a change; at most 20 are kept, the oldest
// goes first.

#include "model/DialogueTypes.h"

#include <deque>
#include <memory>

class TUndoHistory {
public:
    static constexpr int Limit = 20;

    void Record(const TDialogueProject& current);
    // Puts `current` on the other list and restores the last point into it.
    // False (and nothing changed) when there is nothing to undo or redo.
    bool Undo(TDialogueProject& current);
    bool Redo(TDialogueProject& current);
    // A prepared copy (taken earlier, e.g. when a drag started).
    void RecordSnapshot(std::unique_ptr<TDialogueProject> snapshot);
    void Clear();

    bool CanUndo() const { return !FUndo.empty(); }
    bool CanRedo() const { return !FRedo.empty(); }
    int UndoCount() const { return int(FUndo.size()); }
    int RedoCount() const { return int(FRedo.size()); }

private:
    using TStack = std::deque<std::unique_ptr<TDialogueProject>>;
    static bool Step(TStack& from, TStack& to, TDialogueProject& current);

    TStack FUndo;
    TStack FRedo;
};
