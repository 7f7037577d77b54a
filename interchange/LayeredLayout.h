#pragma once
// Places a project's nodes in columns by their distance from the start
// node, so that links run left to right and can be followed: the start node
// alone in the first column, the nodes it leads to in the next, and so on;
// within a column in the order the walk meets them (option order). Nodes
// the walk does not reach follow in columns of their own. No two boxes
// overlap: the pitch is the widest and tallest box plus a gap.

class TDialogueProject;

namespace LayeredLayout {

void Apply(TDialogueProject& project);

}
