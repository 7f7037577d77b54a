#pragma once
// The "N:" / "O:" tree text the AI dialogue tree generator asks for, the
// prompt that asks for it, the sample tree used when the service gives only
// a placeholder, and adding a parsed root to a project.
//
// Tree text: one item per line (CR LF or LF), lines trimmed, empty ones
// skipped. "N:" + ID + "=" + text starts a node; "O:" + text adds a player
// option to the latest node; everything else is ignored.

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TDialogueNode;
class TDialogueProject;

// The result of parsing one reply. Owns its nodes.
struct TAITreeParse {
    std::vector<std::unique_ptr<TDialogueNode>> Nodes;   // reply order
    TDialogueNode* Root = nullptr;                      // the first node, or null
    QString Error;                                      // set when the parse stopped

    bool Succeeded() const { return Root && Error.isEmpty(); }
};

namespace AIDialogueTree {

// A whole number in 0..bound-1.
using TRandom = std::function<int(int bound)>;
TRandom DefaultRandom();

QString BuildPrompt(const QString& character, const QString& topic, const QString& depth);
// The sample tree, lines separated by CR LF.
QString BuiltInTree();
// A reply that is only a placeholder ("[MOCK]...") is replaced by the
// sample tree.
QString TreeTextForReply(const QString& reply);

// Parses the tree text; every node gets `speaker` and a random position.
// A repeated ID stops the parse with Error "Duplicates not allowed".
TAITreeParse Parse(const QString& text, const QString& speaker, const TRandom& random = DefaultRandom());

// Adds a copy of the root (speaker, text, start mark, option texts without
// targets) as a new node of the project and returns it. The caller takes
// its undo point first.
TDialogueNode* AddRootToProject(TDialogueProject& project, const TDialogueNode& root);

}
