#pragma once
// What the AI dialogue tree generator does besides showing controls: the
// prompt, the built-in sample tree, the "N:" / "O:" reply parser, the
// preview and adding the root to the project.
//
// Reply format, read line by line (CR LF or LF), each line trimmed, empty
// lines skipped:
//   N:<id>=<text>   a node; without "=" the ID is empty and the text is the
//                   whole line. An empty ID becomes "node" + (count + 1).
//   O:<text>        a player option of the latest node (ignored before the
//                   first node, and when the text is blank).
//   anything else   ignored.
// IDs are case-sensitive and may appear once; the first node is the root.

#include "ai/OllamaCloudClient.h"
#include "model/DialogueTypes.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace AIDialogueTree {

constexpr int CharacterCount = 7;
extern const char* const CharacterNames[CharacterCount];
constexpr int DepthCount = 4;
extern const char* const DepthChoices[DepthCount];   // "2" .. "5"; "3" is the default
constexpr int DefaultDepthIndex = 1;
constexpr int StyleCount = 3;
extern const char* const StyleChoices[StyleCount];
extern const char* const DefaultTopic;               // "Help a stranger"
extern const char* const ModelName;                  // "llama3.1"
constexpr int MaxTokens = 1000;

extern const char* const GeneratingText;             // "Generating..."
extern const char* const ParseFailedText;            // "Failed to parse response"
extern const char* const DuplicateMessage;           // "Duplicates not allowed"
extern const char* const AddedLogLine;               // "AI dialogue tree added to project"
extern const char* const OptionArrow;                // "→ "

// A reply larger than this many nodes, or options on one node, is cut
// there: only the root reaches the project, the rest is preview.
constexpr int MaxNodes = 1000;
constexpr int MaxOptionsPerNode = 100;

QString BuildPrompt(const QString& character, const QString& topic, const QString& depth);

// The sample tree used when the service gave a placeholder.
QString BuiltInTree();
bool IsPlaceholder(const QString& reply);

using TRandomBelow = std::function<int(int bound)>;   // 0 .. bound - 1

struct TParseResult {
    std::vector<std::unique_ptr<TDialogueNode>> Nodes;   // in reply order
    TDialogueNode* Root = nullptr;                       // one of Nodes, or null
    QString Error;                                       // DuplicateMessage, or empty
    bool Truncated = false;                              // a limit above was reached

    bool Succeeded() const { return Root != nullptr; }
};

// Nodes get type NPC dialogue, the speaker given and a position of
// 50 + 0..399, 50 + 0..299. A repeated ID stops the parse with Error set
// and no root, so nothing of a rejected reply can be added.
TParseResult Parse(const QString& reply, const QString& speaker, const TRandomBelow& random = TRandomBelow());

struct TPreviewItem {
    QString Text;
    QStringList Children;   // "→ " + option text
};
// One item per start node (in practice the root) with its options.
std::vector<TPreviewItem> PreviewItems(const TParseResult& result);

// "Generated N nodes" or "Failed to parse response"; after a duplicate the
// status keeps "Generating..." and the window shows Error instead.
QString StatusText(const TParseResult& result);

struct TGeneration {
    QString Reply;               // what was parsed (the built-in tree for a placeholder)
    bool UsedBuiltInTree = false;
    TRequestFailure Failure;     // why the service gave a placeholder, if it did
    TParseResult Result;
};

using TClientFactory = std::function<std::unique_ptr<TOllamaCloudClient>(const QString& trimmedKey)>;

// One Generate Tree round with the stored key. Blocking; a window may run
// it on a worker thread.
TGeneration Generate(const QString& storedKey, const QString& character, const QString& topic,
                     const QString& depth, const TClientFactory& factory = TClientFactory(),
                     const TRandomBelow& random = TRandomBelow());

// Adds a new start node with the root's speaker, text and option texts (no
// targets) to the project and returns it. The caller takes its undo step
// before and logs AddedLogLine after.
TDialogueNode* AddRootToProject(TDialogueProject& project, const TDialogueNode& root);

}
