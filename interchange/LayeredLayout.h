#pragma once
// Places a project's nodes in columns by their distance from the start
// node, so that links run left to right and can be followed: the start node
// alone in the first column, the nodes it leads to in the next, and so on;
// within a column in the order the walk meets them (option order). The
// parts the walk does not reach are walked the same way in bands below,
// from nodes nothing links to first. No two boxes
// overlap: the pitch is the widest and tallest box plus a gap.

class TDialogueProject;

namespace LayeredLayout {

void Apply(TDialogueProject& project);

}
