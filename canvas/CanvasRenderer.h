#pragma once
// Draws a canvas state with the current theme onto a painter: background,
// grid, connections, nodes, minimap, rubber band and the connection being
// dragged, in that order. Only what falls inside the client area is drawn,
// and the text of nodes is laid out once and reused while it is unchanged.

#include "canvas/CanvasState.h"
#include "shell/ThemeManager.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QLineF>
#include <QVector>
#include <QStaticText>

#include <array>

class QPainter;

inline QColor ToQColor(TColor c) { return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)); }

// Laid-out single-line texts per font; a font change empties its slot.
class TCanvasTextCache {
public:
    enum TSlot { tsTitle, tsBody, tsItalic, tsSmall, tsBadge, SlotCount };

    // Declares the font a slot draws with for this paint.
    void UseFont(TSlot slot, const QFont& font);
    const QFont& Font(TSlot slot) const { return FSlots[slot].Font; }
    // Half a line of the slot's font: a text cut to less shows only specks.
    int LegibleHeight(TSlot slot) const { return FSlots[slot].LegibleHeight; }
    // The text as one line: line breaks and tabs become spaces.
    const QStaticText& Text(TSlot slot, const QString& text);
    int Size() const;

private:
    struct TEntry {
        QFont Font;
        bool HasFont = false;
        int LegibleHeight = 0;
        QHash<QString, QStaticText> Texts;
    };
    std::array<TEntry, SlotCount> FSlots;
};

// Connection curves collected per colour and stroked together, cut to the
// view: one painter call per colour instead of one per segment.
class TConnectionBatch {
public:
    // Full layers are stroked on the way; Flush strokes the rest.
    void Add(QPainter& p, QPoint from, QPoint to, TColor colour, float zoom, bool curved, const QRect& window);
    void Flush(QPainter& p);

private:
    struct TLayer {
        TColor Colour;
        int Width;
        QVector<QLineF> Lines;
        QVector<std::array<QPoint, 3>> Heads;
    };
    static void StrokeLayer(QPainter& p, TLayer& l);
    QVector<TLayer> FLayers;
};

// Ports drawn once per look and stamped: a fitted view of a large graph
// shows thousands of them, and the painter builds and fills an
// anti-aliased path for every ellipse it draws.
class TPortStamps {
public:
    // Draws a port circle of `radius` around `centre`, filled and outlined.
    void Draw(QPainter& p, QPoint centre, int radius, int penWidth, TColor fill, TColor outline);

private:
    struct TStamp {
        QImage Image;
        int Half = 0;   // distance from the image's corner to the circle's centre
    };
    const TStamp& Stamp(int radius, int penWidth, TColor fill, TColor outline, qreal dpr);
    QHash<quint64, TStamp> FStamps;
    qreal FDevicePixelRatio = 1.0;
};

class TCanvasRenderer {
public:
    void Render(QPainter& p, const TCanvasState& s, const TTLWTheme& theme);
    // Repaints only `area` (client coordinates) of a picture that already
    // shows this state everywhere else, as after a change to one node.
    void RenderArea(QPainter& p, const TCanvasState& s, const TTLWTheme& theme, const TCanvasRect& area);
    // Lays the node layer (nodes, minimap, overlays) of `area` again over a
    // picture of this state, leaving grid and links as they are: enough
    // after a change inside a node's body, such as its text, and it does not
    // visit the links of the whole graph.
    void RenderNodesOver(QPainter& p, const TCanvasState& s, const TTLWTheme& theme, const TCanvasRect& area);
    // Paints into an image of the state's client size (96 dpi fonts when the
    // image carries no resolution of its own).
    void RenderToImage(QImage& image, const TCanvasState& s, const TTLWTheme& theme);

private:
    enum TPaintLayers { plAll, plNodesAndAbove };
    void PaintClipped(QPainter& p, const TCanvasState& s, const TTLWTheme& theme, const TCanvasRect& area,
                      TPaintLayers layers);
    void Paint(QPainter& p, const TCanvasState& s, const TTLWTheme& theme, TPaintLayers layers);
    void DrawGrid(QPainter& p, const TCanvasState& s);
    void DrawConnections(QPainter& p, const TCanvasState& s);
    void DrawLink(QPainter& p, const TCanvasState& s, QPoint from, const TDialogueNode* target, TColor colour);
    void DrawNodes(QPainter& p, const TCanvasState& s);
    void DrawNode(QPainter& p, const TCanvasState& s, const TDialogueNode& node, const TCanvasRect& r);
    void DrawHeader(QPainter& p, const TDialogueNode& node, const TNodeGeometry& g);
    void DrawBody(QPainter& p, const TDialogueNode& node, const TNodeGeometry& g);
    void DrawPorts(QPainter& p, const TCanvasState& s, const TDialogueNode& node, const TNodeGeometry& g);
    void DrawStartBadge(QPainter& p, const TNodeGeometry& g);
    void DrawMinimap(QPainter& p, const TCanvasState& s);
    void DrawOverlays(QPainter& p, const TCanvasState& s);
    void PrepareFonts(float zoom);
    void DrawText(QPainter& p, TCanvasTextCache::TSlot slot, TColor colour, QPoint at,
                  const TCanvasRect& clip, const QString& text);

    const TTLWTheme* T = nullptr;
    // What this paint covers; everything outside it is neither drawn nor visited.
    TCanvasRect FArea;
    TCanvasTextCache FText;
    TConnectionBatch FBatch;
    TPortStamps FPorts;
};

// Mirrors the connection drawing for the host's own overlays and for tests.
void DrawConnection(QPainter& p, int x1, int y1, int x2, int y2, TColor colour, float zoom, bool curved);
void DrawGlow(QPainter& p, const TCanvasRect& r, TColor colour, TColor background, int rings);
