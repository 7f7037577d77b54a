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
constexpr int MaxRowsOfUnreached = 50;   // unreached nodes wrap into columns of this height
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

    std::vector<int> depth(size_t(count), -1);
    std::vector<int> order;
    order.reserve(size_t(count));
    std::deque<int> queue;
    auto reach = [&](const QString& id, int d) {
        if (id.isEmpty())
            return;
        const auto it = indexOf.constFind(id);
        if (it == indexOf.constEnd() || depth[size_t(*it)] >= 0)
            return;
        depth[size_t(*it)] = d;
        order.push_back(*it);
        queue.push_back(*it);
    };
    reach(project.StartNodeID(), 0);
    if (order.empty())
        reach(project.NodeAt(0)->ID(), 0);
    while (!queue.empty()) {
        const int i = queue.front();
        queue.pop_front();
        const TDialogueNode* node = project.NodeAt(i);
        const int d = depth[size_t(i)] + 1;
        for (const auto& option : node->PlayerOptions()) {
            reach(option->TargetNodeID, d);
            if (option->HasSkillCheck) {
                reach(option->SkillCheck.SuccessNodeID, d);
                reach(option->SkillCheck.FailureNodeID, d);
            }
        }
        reach(node->NextNodeID(), d);
    }

    std::vector<int> rowsInColumn;
    auto place = [&](int i, int column) {
        if (int(rowsInColumn.size()) <= column)
            rowsInColumn.resize(size_t(column) + 1, 0);
        const int row = rowsInColumn[size_t(column)]++;
        TDialogueNode* node = project.NodeAt(i);
        node->SetX(qint32(std::min<qint64>(Margin + column * columnPitch, 2000000000)));
        node->SetY(qint32(std::min<qint64>(Margin + row * rowPitch, 2000000000)));
    };
    int deepest = 0;
    for (int i : order) {
        place(i, depth[size_t(i)]);
        deepest = std::max(deepest, depth[size_t(i)]);
    }
    int unreached = 0;
    for (int i = 0; i < count; ++i)
        if (depth[size_t(i)] < 0)
            place(i, deepest + 1 + unreached++ / MaxRowsOfUnreached);
}
