#pragma once
// The mouse, wheel and key handling of the canvas as a state machine over
// TCanvasState::Action. The widget forwards its events here in client pixels.
//
//   ncaNone -> ncaConnecting   left or middle press on an output port,
//                              Shift + left press on a node (its next link)
//           -> ncaDragging     left press on a node
//           -> ncaSelecting    left press on empty canvas (rubber band)
//           -> ncaPanning      middle press off a port
//   any     -> ncaNone         any release; a right press never changes it

#include "canvas/CanvasCommands.h"
#include "canvas/CanvasHitTest.h"
#include "canvas/CanvasState.h"

enum TCanvasButton { cbLeft = 0, cbRight = 1, cbMiddle = 2 };

struct TCanvasModifiers {
    bool Shift = false;
    bool Ctrl = false;
};

// Keys the canvas reacts to while it has focus.
enum class TCanvasKey { Delete, Minus, Equal, Zero, A, F, G, Other };

class TCanvasGesture {
public:
    TCanvasGesture(TCanvasState& state, TCanvasEvents& events, TCanvasCommands& commands)
        : S(state), E(events), C(commands) {}

    void Press(TCanvasButton button, TCanvasModifiers mods, QPoint p);
    void Move(QPoint p);
    void Release(QPoint p);
    void DoubleClick();
    // One wheel notch; a positive delta zooms in about the pointer.
    void Wheel(QPoint p, int delta);
    // Returns whether the key did something.
    bool Key(TCanvasKey key, TCanvasModifiers mods);

    // Output port under p; logs what it found when a log is attached.
    TPortHit PortAt(QPoint p);

private:
    void PressOnNode(TDialogueNode* node, TCanvasModifiers mods);
    void DragTo(QPoint p);
    void RubberBandTo(QPoint p);
    void FinishConnection(QPoint p);
    void EndGesture();
    TDialogueNode* NodeAt(QPoint p) const;

    TCanvasState& S;
    TCanvasEvents& E;
    TCanvasCommands& C;
};
