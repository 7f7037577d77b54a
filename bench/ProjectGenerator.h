#pragma once
// Synthetic dialogue projects for benchmarks: every node has three options,
// conditions, scripts and non-ASCII text.

#include "model/DialogueTypes.h"

void GenerateProject(TDialogueProject& project, int nodeCount);
