#include "interchange/LayeredLayout.h"

#include "model/DialogueTypes.h"

#include <QHash>

#include <algorithm>
#include <deque>
#include <vector>

namespace {
constexpr int Margin = 40;
constexpr int ColumnGap = 80;
constexpr int RowGap = 40;
}

void LayeredLayout::Apply(TDialogueProject& project)
{
    const int count = project.NodeCount();
    if (count == 0)
        return;
    QHash<QString, int> indexOf;
    indexOf.reserve(count);
    int maxWidth = 1;
    int maxHeight = 1;
    for (int i = count - 1; i >= 0; --i) {
        const TDialogueNode* node = project.NodeAt(i);
        indexOf.insert(node->ID(), i);   // the first node of an ID wins, as FindNode
        maxWidth = std::max(maxWidth, int(node->Width()));
        maxHeight = std::max(maxHeight, int(node->Height()));
    }
    const qint64 columnPitch = qint64(maxWidth) + ColumnGap;
    const qint64 rowPitch = qint64(maxHeight) + RowGap;

    // Incoming links, to start the walks of the parts the start node does
    // not reach at a node nothing leads to.
    std::vector<int> incoming(size_t(count), 0);
    auto forEachLink = [&](const TDialogueNode& node, auto&& visit) {
        for (const auto& option : node.PlayerOptions()) {
            visit(option->TargetNodeID);
            if (option->HasSkillCheck) {
                visit(option->SkillCheck.SuccessNodeID);
                visit(option->SkillCheck.FailureNodeID);
            }
        }
        visit(node.NextNodeID());
    };
    for (int i = 0; i < count; ++i)
        forEachLink(*project.NodeAt(i), [&](const QString& id) {
            const auto it = indexOf.constFind(id);
            if (!id.isEmpty() && it != indexOf.constEnd())
                ++incoming[size_t(*it)];
        });

    // One walk per part of the graph, each part in a band below the last.
    std::vector<int> depth(size_t(count), -1);
    std::vector<int> rowsInColumn;
    qint64 bandTop = Margin;
    std::deque<int> queue;
    auto place = [&](int i, int column) {
        if (int(rowsInColumn.size()) <= column)
            rowsInColumn.resize(size_t(column) + 1, 0);
        const int row = rowsInColumn[size_t(column)]++;
        TDialogueNode* node = project.NodeAt(i);
        node->SetX(qint32(std::min<qint64>(Margin + column * columnPitch, 2000000000)));
        node->SetY(qint32(std::min<qint64>(bandTop + row * rowPitch, 2000000000)));
    };
    auto reachIndex = [&](int i, int d) {
        if (depth[size_t(i)] >= 0)
            return;
        depth[size_t(i)] = d;
        place(i, d);
        queue.push_back(i);
    };
    auto reach = [&](const QString& id, int d) {
        const auto it = id.isEmpty() ? indexOf.constEnd() : indexOf.constFind(id);
        if (it != indexOf.constEnd())
            reachIndex(*it, d);
    };
    auto walk = [&](int root) {
        rowsInColumn.clear();
        reachIndex(root, 0);
        while (!queue.empty()) {
            const int i = queue.front();
            queue.pop_front();
            const int d = depth[size_t(i)] + 1;
            forEachLink(*project.NodeAt(i), [&](const QString& id) { reach(id, d); });
        }
        const int rows = rowsInColumn.empty() ? 0 : *std::max_element(rowsInColumn.begin(), rowsInColumn.end());
        bandTop += rows * rowPitch;
    };
    const auto start = indexOf.constFind(project.StartNodeID());
    walk(start != indexOf.constEnd() ? *start : 0);
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < count; ++i)
            if (depth[size_t(i)] < 0 && (pass == 1 || incoming[size_t(i)] == 0))
                walk(i);
}
