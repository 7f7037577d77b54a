#include "editors/ScriptEditorText.h"

namespace ScriptEditorText {

namespace {

const char* const Reference[] = {
    "=== FALLOUT DIALOGUE SCRIPT REFERENCE ===",
    "",
    "--- PLAYER / NPC ACCESS ---",
    "  player                    // Player object",
    "  npc                       // Current NPC object",
    "  player.skill[SPEECH]      // Get player skill value (0-300)",
    "  player.stat[ST]           // Get SPECIAL stat",
    "  player.karma              // Get karma points",
    "  player.reputation         // Get reputation with faction",
    "",
    "--- VARIABLES ---",
    "  global_var(\"VAR_NAME\")    // Read global variable",
    "  set_global_var(\"VAR\", v)  // Set global variable",
    "  local_var(\"VAR_NAME\")     // Read local (NPC) variable",
    "  set_local_var(\"VAR\", v)   // Set local variable",
    "",
    "--- QUEST SYSTEM ---",
    "  quest_state(\"QUEST_ID\")   // Get quest state (0=none,1=active,2=done)",
    "  set_quest(\"QUEST_ID\", s)  // Set quest state",
    "  add_journal(\"QUEST_ID\", e)// Add journal entry",
    "",
    "--- INVENTORY ---",
    "  has_item(player, \"ITEM\")  // Check if player has item",
    "  give_item(player, \"ITEM\") // Give item to player",
    "  take_item(player, \"ITEM\") // Remove item from player",
    "  give_caps(player, amount) // Give bottle caps",
    "  take_caps(player, amount) // Remove caps",
    "",
    "--- REPUTATION / KARMA ---",
    "  modify_karma(amount)      // Change karma (+/-)",
    "  modify_rep(\"FACTION\", v)  // Change faction reputation",
    "  give_xp(amount)           // Award experience points",
    "",
    "--- DIALOGUE CONTROL ---",
    "  end_dialogue()            // End conversation",
    "  goto_node(\"NODE_ID\")      // Jump to dialogue node",
    "  set_npc_attitude(v)       // 0=hostile,50=neutral,100=friendly",
    "",
    "--- COMBAT ---",
    "  start_combat()            // Trigger combat",
    "  flee_combat()             // NPC flees",
    "",
    "--- EVENTS ---",
    "  OnDialogueStart  // Fired when dialogue begins",
    "  OnNodeEnter      // Fired when entering any node",
    "  OnOptionSelected // Fired when player picks option",
    "  OnSkillCheck     // Fired during skill check",
    "  OnQuestUpdate    // Fired when quest state changes",
    "  OnCombatStart    // Fired when combat begins",
    "  OnDialogueEnd    // Fired at conversation end",
};

// One template per event, in enumeration order; lines joined with CR LF.
const char* const Templates[ScriptEventCount] = {
    "procedure OnDialogueStart(npc, player: TEntity);\r\n"
    "begin\r\n"
    "  // Called when dialogue begins\r\n"
    "  set_npc_attitude(50);  // Neutral\r\n"
    "end;",
    "procedure OnNodeEnter(npc, player: TEntity; nodeID: string);\r\n"
    "begin\r\n"
    "  // Called when entering this node\r\n"
    "end;",
    "procedure OnOptionSelected(player: TEntity; optionIndex: Integer);\r\n"
    "begin\r\n"
    "  // Called when player selects an option\r\n"
    "  case optionIndex of\r\n"
    "    0: give_xp(25);\r\n"
    "    1: modify_karma(10);\r\n"
    "  end;\r\n"
    "end;",
    "procedure OnSkillCheck(skill: string; playerVal, difficulty: Integer; passed: Boolean);\r\n"
    "begin\r\n"
    "  if passed then\r\n"
    "    give_xp(50)\r\n"
    "  else\r\n"
    "    set_local_var(\"LVAR_FAILED_CHECK\", 1);\r\n"
    "end;",
    "procedure OnQuestUpdate(questID: string; newState: Integer);\r\n"
    "begin\r\n"
    "  // Quest state changed\r\n"
    "  add_journal(questID, newState);\r\n"
    "end;",
    "procedure OnCombatStart(npc, player: TEntity);\r\n"
    "begin\r\n"
    "  // Triggered when combat begins from dialogue\r\n"
    "  start_combat();\r\n"
    "end;",
    "procedure OnDialogueEnd(npc, player: TEntity);\r\n"
    "begin\r\n"
    "  // Cleanup after dialogue ends\r\n"
    "  set_global_var(\"GVAR_MET_NPC\", 1);\r\n"
    "end;",
};

const QString LineBreak = QStringLiteral("\r\n");

}

QStringList ReferenceLines()
{
    QStringList lines;
    for (const char* line : Reference)
        lines << QString::fromLatin1(line);
    return lines;
}

QStringList EventIdentifiers()
{
    QStringList names;
    for (const char* name : ScriptEventIdentifiers)
        names << QString::fromLatin1(name);
    return names;
}

QString TemplateFor(TScriptEvent event)
{
    return event < ScriptEventCount ? QString::fromLatin1(Templates[event]) : QString();
}

QString TemplateSuffix(const QString& code, TScriptEvent event)
{
    // The text is a list of lines: an empty line and the template are two
    // more entries, so a non-empty text first ends its last line.
    const QString endOfText = code.isEmpty() ? QString() : LineBreak;
    return endOfText + LineBreak + TemplateFor(event);
}

QString AppendTemplate(const QString& code, TScriptEvent event)
{
    return code + TemplateSuffix(code, event);
}

QString LineInfoText(int line, int column, int lineCount)
{
    return QStringLiteral("Ln %1  Col %2  Lines: %3").arg(line + 1).arg(column + 1).arg(lineCount);
}

QString ToEditorText(const QString& code)
{
    QString text = code;
    text.replace(LineBreak, QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString FromEditorText(const QString& text)
{
    QString code = text;
    code.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    code.replace(QLatin1Char('\n'), LineBreak);
    return code;
}

QString ValidationMessage(const QString& code)
{
    const QString lower = code.toLower();
    QStringList notes;
    if (code.trimmed().isEmpty())
        notes << QStringLiteral("WARNING: Empty script");
    if (lower.contains(QLatin1String("procedure")))
        notes << QStringLiteral("OK: Found procedure definition(s)");
    if (lower.contains(QLatin1String("end;")))
        notes << QStringLiteral("OK: Found end statement(s)");
    if (lower.contains(QLatin1String("begin")))
        notes << QStringLiteral("OK: Found begin block(s)");
    if (notes.isEmpty())
        notes << QStringLiteral("Script appears valid (basic check).");
    QString message = QStringLiteral("Script Validation:") + LineBreak;
    for (const QString& note : notes)
        message += note + LineBreak;
    return message;
}

}
