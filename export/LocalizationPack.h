#pragma once
// The translators' pack: one entry per node text and option text worth
// translating, with a key, a context, the source and a translation to fill.

#include "model/DialogueTypes.h"
#include "model/JsonText.h"

namespace LocalizationPack {

// Comment nodes and nodes whose text is blank give nothing, not even their
// options; options with blank text are left out but keep their index.
TJsonValue Build(const TDialogueProject& project);

}
