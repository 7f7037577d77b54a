#pragma once
// Shared by the canvas tests: small projects and synthesized input events.

#include "canvas/NodeCanvas.h"
#include "model/DialogueTypes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <memory>

namespace CanvasTest {

inline TDialogueNode* AddAt(TDialogueProject& p, TNodeType type, int x, int y, int options = 0)
{
    TDialogueNode* n = p.AddNode(type);
    n->SetX(x);
    n->SetY(y);
    for (int i = 0; i < options; ++i)
        n->AddOption()->Text = QStringLiteral("Option %1").arg(i + 1);
    return n;
}

// A small conversation that uses every kind of decoration.
inline std::unique_ptr<TDialogueProject> SampleProject()
{
    auto p = std::make_unique<TDialogueProject>();
    TDialogueNode* greet = AddAt(*p, ntNPCDialogue, 0, 0, 2);
    greet->SetSpeaker(QStringLiteral("Marta"));
    greet->SetText(QStringLiteral("Well, look who crawled out of the wastes. Need something?"));
    p->SetStartNodeID(greet->ID());
    TDialogueNode* reply = AddAt(*p, ntPlayerReply, 340, -80, 1);
    reply->SetText(QStringLiteral("I'm looking for work."));
    TDialogueNode* check = AddAt(*p, ntConditional, 340, 120, 3);
    check->SetText(QStringLiteral("Does the player know the password?"));
    TCondition c;
    check->Conditions() << c << c;
    check->PlayerOptions()[1]->HasSkillCheck = true;
    check->PlayerOptions()[1]->SkillCheck.Skill = skSpeech;
    TDialogueNode* script = AddAt(*p, ntScript, 680, 40);
    script->SetText(QStringLiteral("give_exp_points(50);"));
    script->AddScript();
    TDialogueNode* end = AddAt(*p, ntEndDialogue, 1000, 40);
    TDialogueNode* note = AddAt(*p, ntComment, 0, 200);
    note->SetComment(QStringLiteral("Marta only talks after the raid quest."));

    greet->PlayerOptions()[0]->TargetNodeID = reply->ID();
    greet->PlayerOptions()[1]->TargetNodeID = check->ID();
    reply->SetNextNodeID(script->ID());
    check->PlayerOptions()[0]->TargetNodeID = script->ID();
    check->PlayerOptions()[1]->SkillCheck.SuccessNodeID = end->ID();
    check->PlayerOptions()[1]->SkillCheck.FailureNodeID = greet->ID();
    script->SetNextNodeID(end->ID());
    reply->PlayerOptions()[0]->TargetNodeID = QStringLiteral("Node999");   // missing on purpose
    p->SetModified(false);
    return p;
}

inline void SendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint p,
                      Qt::KeyboardModifiers mods = Qt::NoModifier, Qt::MouseButtons held = Qt::NoButton)
{
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
        held |= button;
    QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, held, mods);
    QApplication::sendEvent(w, &e);
}

inline void Press(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    SendMouse(w, QEvent::MouseButtonPress, b, p, m);
}
inline void Move(QWidget* w, QPoint p, Qt::MouseButtons held = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    SendMouse(w, QEvent::MouseMove, Qt::NoButton, p, m, held);
}
inline void Release(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    SendMouse(w, QEvent::MouseButtonRelease, b, p, m);
}
inline void Click(QWidget* w, QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    Press(w, p, Qt::LeftButton, m);
    Release(w, p, Qt::LeftButton, m);
}
inline void DoubleClick(QWidget* w, QPoint p)
{
    Click(w, p);
    SendMouse(w, QEvent::MouseButtonDblClick, Qt::LeftButton, p);
    Release(w, p);
}
inline void Drag(QWidget* w, QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton,
                 Qt::KeyboardModifiers m = Qt::NoModifier)
{
    Press(w, from, b, m);
    Move(w, (from + to) / 2, b, m);
    Move(w, to, b, m);
    Release(w, to, b, m);
}
inline void Wheel(QWidget* w, QPoint p, int deltaY)
{
    QWheelEvent e(QPointF(p), QPointF(w->mapToGlobal(p)), QPoint(), QPoint(0, deltaY), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}
inline void Key(QWidget* w, int key, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    QKeyEvent e(QEvent::KeyPress, key, m);
    QApplication::sendEvent(w, &e);
}

}
