#pragma once
// Undo and redo of document snapshots. Recording a point keeps a copy of
// the project as it is before a change, or, for a change to one node's own
// fields (typing its text), a copy of that node only; at most 20 points are
// kept, the oldest goes first.

#include "model/DialogueTypes.h"

#include <deque>
#include <memory>

class TUndoHistory {
public:
    static constexpr int Limit = 20;

    void Record(const TDialogueProject& current);
    // For a change that will touch only this node's fields, not its ID or
    // type and nothing else in the project: far cheaper than a whole copy.
    void RecordNode(const TDialogueNode& node);
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
    // Exactly one of the two is set.
    struct TPoint {
        std::unique_ptr<TDialogueProject> Project;
        std::unique_ptr<TDialogueNode> Node;
    };
    using TStack = std::deque<TPoint>;
    static void Push(TStack& stack, TPoint point);
    static bool Step(TStack& from, TStack& to, TDialogueProject& current);

    TStack FUndo;
    TStack FRedo;
};
