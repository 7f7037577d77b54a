#pragma once
// What an imported game script holds besides its dialogue: the header, the
// includes and defines, the variables and the NPC's other procedures, kept
// as the script wrote them, so that the game export writes the whole script
// back with only the dialogue procedures regenerated.

#include <QMap>
#include <QString>
#include <QVector>

#include <cstdint>

struct TGameScriptPart {
    enum TKind : std::uint8_t {
        gpText,          // script text kept as it stands
        gpDeclaration,   // the forward declaration of dialogue procedure Text stood here
        gpProcedure      // dialogue procedure Text stood here; "talk_p_proc" is the plain
                         // dialogue entry (start_gdialog ... end_dialogue), made from the start node
    };
    TKind Kind = gpText;
    QString Text;

    bool operator==(const TGameScriptPart& o) const { return Kind == o.Kind && Text == o.Text; }
};

struct TGameScriptFrame {
    // The script in source order: kept text between the places of the
    // dialogue procedures and their declarations.
    QVector<TGameScriptPart> Parts;
    // Message lines the kept text refers to (floaters, the other
    // procedures' lines, the pieces of joined texts), so the message file
    // written back still holds them.
    QMap<qint32, QString> Messages;

    bool IsEmpty() const { return Parts.isEmpty() && Messages.isEmpty(); }
    bool operator==(const TGameScriptFrame& o) const { return Parts == o.Parts && Messages == o.Messages; }
};
