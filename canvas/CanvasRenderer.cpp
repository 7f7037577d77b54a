#include "canvas/CanvasRenderer.h"

#include <QImage>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QtMath>

#include <algorithm>

namespace {

constexpr int CullMargin = 20;
constexpr int MaxShownTextLength = 80;
// Speakers, option rows and comments: longer than any box shows at the
// largest zoom, short enough that a text of megabytes costs nothing.
constexpr int MaxLineLength = 300;
const QString StartFontName = QStringLiteral("Segoe UI");

QPen Pen(TColor c, int width, Qt::PenStyle style = Qt::SolidLine)
{
    QPen pen(ToQColor(c));
    pen.setWidth(width);
    pen.setStyle(style);
    return pen;
}

void Fill(QPainter& p, const TCanvasRect& r, TColor c)
{
    if (!r.IsEmpty())
        p.fillRect(r.ToQRect(), ToQColor(c));
}

// Outlines cover the pixels Left .. Right - 1, as fills do.
QRect OutlineRect(const TCanvasRect& r)
{
    return QRect(r.Left, r.Top, std::max(0, r.Width() - 1), std::max(0, r.Height() - 1));
}

// A rounded rectangle with the painter's pen and brush; `corner` is the
// width of the corner ellipse.
void RoundRect(QPainter& p, const TCanvasRect& r, int corner)
{
    if (r.IsEmpty())
        return;
    const QRect q = p.pen().style() == Qt::NoPen ? r.ToQRect() : OutlineRect(r);
    p.drawRoundedRect(q, corner / 2.0, corner / 2.0);
}

// A horizontal line from x1 up to, not including, x2.
void HLine(QPainter& p, int x1, int x2, int y)
{
    if (x2 > x1)
        p.drawLine(x1, y, x2 - 1, y);
}

QFont MakeFont(const QString& name, int pointSize, bool bold, bool italic)
{
    QFont f(name);
    f.setPointSize(std::max(1, pointSize));
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QString OneLine(const QString& text)
{
    QString line = text;
    for (QChar& c : line)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    return line;
}

// The first `maxLength` characters at most, the last three of them dots
// when the text is longer.
QString CutText(const QString& text, int maxLength)
{
    if (text.size() > maxLength)
        return text.left(maxLength - 3) + QStringLiteral("...");
    return text;
}

QString ShownNodeText(const QString& text) { return CutText(text, MaxShownTextLength); }
QString LineText(const QString& text) { return CutText(text, MaxLineLength); }

QString OptionRowText(const TPlayerOption& option)
{
    QString row = QStringLiteral("\u2192 ") + (option.Text.isEmpty() ? QStringLiteral("(option)") : LineText(option.Text));
    if (option.HasSkillCheck)
        row += QStringLiteral(" [") + SkillName(option.SkillCheck.Skill) + QLatin1Char(']');
    return row;
}

TCanvasRect Intersect(const TCanvasRect& a, const TCanvasRect& b)
{
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
}

bool OutOfArea(const TCanvasRect& r, const TCanvasRect& area)
{
    return r.Right < area.Left - CullMargin || r.Left > area.Right + CullMargin || r.Bottom < area.Top - CullMargin
        || r.Top > area.Bottom + CullMargin;
}

// Liang-Barsky: the part of `line` inside `r`, if any.
bool ClipToRect(const QLineF& line, const QRectF& r, QLineF& part)
{
    const double dx = line.dx(), dy = line.dy();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {line.x1() - r.left(), r.right() - line.x1(), line.y1() - r.top(), r.bottom() - line.y1()};
    double t0 = 0.0, t1 = 1.0;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    part = QLineF(line.x1() + t0 * dx, line.y1() + t0 * dy, line.x1() + t1 * dx, line.y1() + t1 * dy);
    return true;
}

}

// ---------------------------------------------------------------------------

void TCanvasTextCache::UseFont(TSlot slot, const QFont& font)
{
    TEntry& e = FSlots[slot];
    if (e.HasFont && e.Font == font)
        return;
    e.Font = font;
    e.HasFont = true;
    e.LegibleHeight = QFontMetrics(font).height() / 2;
    e.Texts.clear();
}

const QStaticText& TCanvasTextCache::Text(TSlot slot, const QString& text)
{
    // Bounded so that panning across a huge project cannot grow it forever.
    constexpr int MaxEntriesPerSlot = 20000;
    TEntry& e = FSlots[slot];
    auto it = e.Texts.find(text);
    if (it != e.Texts.end())
        return *it;
    if (e.Texts.size() >= MaxEntriesPerSlot)
        e.Texts.clear();
    QStaticText st(OneLine(text));
    st.setTextFormat(Qt::PlainText);
    st.setPerformanceHint(QStaticText::AggressiveCaching);
    return *e.Texts.insert(text, st);
}

int TCanvasTextCache::Size() const
{
    int n = 0;
    for (const TEntry& e : FSlots)
        n += int(e.Texts.size());
    return n;
}

// ---------------------------------------------------------------------------

void TConnectionBatch::Add(QPainter& p, QPoint from, QPoint to, TColor colour, float zoom, bool curved,
                           const QRect& window)
{
    const QVector<QPoint> points = ConnectionCurvePoints(from, to, curved);
    TLayer* layer = nullptr;
    for (TLayer& l : FLayers)
        if (l.Colour == colour && l.Width == ConnectionPenWidth(zoom))
            layer = &l;
    if (!layer) {
        FLayers.append({colour, ConnectionPenWidth(zoom), {}, {}});
        layer = &FLayers.last();
    }
    // Long links mostly run outside the view, and the painter's cost grows
    // with the length it strokes: segments are cut to the view first.
    const int m = layer->Width + 2;
    const QRectF view(window.adjusted(-m, -m, m, m));
    for (int k = 1; k < int(points.size()); ++k) {
        QLineF part;
        if (ClipToRect(QLineF(points[k - 1], points[k]), view, part))
            layer->Lines.append(part);
    }
    std::array<QPoint, 3> head;
    if (ArrowHead(from, to, zoom, head)
        && view.intersects(QRectF(QRect(head[0], head[1]).united(QRect(head[0], head[2])).normalized())))
        layer->Heads.append(head);
    // Bounded, so that a fitted view of a huge graph does not gather
    // millions of segments before drawing them.
    constexpr int MaxBatchedLines = 4096;
    if (layer->Lines.size() > MaxBatchedLines)
        StrokeLayer(p, *layer);
}

void TConnectionBatch::StrokeLayer(QPainter& p, TLayer& l)
{
    // Wide anti-aliased strokes cost several times more than aliased ones,
    // and a large graph crosses the view with hundreds of curves.
    QPen pen = Pen(l.Colour, l.Width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawLines(l.Lines.constData(), int(l.Lines.size()));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Pen(l.Colour, 1));
    p.setBrush(ToQColor(l.Colour));
    for (const auto& head : l.Heads)
        p.drawPolygon(head.data(), 3);
    p.setRenderHint(QPainter::Antialiasing, false);
    l.Lines.clear();
    l.Heads.clear();
}

void TConnectionBatch::Flush(QPainter& p)
{
    for (TLayer& l : FLayers)
        StrokeLayer(p, l);
    FLayers.clear();
}

void DrawConnection(QPainter& p, int x1, int y1, int x2, int y2, TColor colour, float zoom, bool curved)
{
    TConnectionBatch batch;
    batch.Add(p, QPoint(x1, y1), QPoint(x2, y2), colour, zoom, curved, p.window());
    batch.Flush(p);
}

void DrawGlow(QPainter& p, const TCanvasRect& r, TColor colour, TColor background, int rings)
{
    p.setBrush(Qt::NoBrush);
    for (int i = rings; i >= 1; --i) {
        p.setPen(Pen(BlendColor(colour, background, GlowAlpha(i, rings)), 1));
        RoundRect(p, {r.Left - i, r.Top - i, r.Right + i, r.Bottom + i}, 6 + i);
    }
}

// ---------------------------------------------------------------------------

void TPortStamps::Draw(QPainter& p, QPoint centre, int radius, int penWidth, TColor fill, TColor outline)
{
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const TStamp& stamp = Stamp(radius, penWidth, fill, outline, dpr);
    p.drawImage(QPoint(centre.x() - stamp.Half, centre.y() - stamp.Half), stamp.Image);
}

const TPortStamps::TStamp& TPortStamps::Stamp(int radius, int penWidth, TColor fill, TColor outline, qreal dpr)
{
    if (dpr != FDevicePixelRatio) {
        FStamps.clear();
        FDevicePixelRatio = dpr;
    }
    // Colours are 24 bits each; radius and pen width stay far below 256.
    const quint64 key = (quint64(fill & 0xFFFFFF) << 40) | (quint64(outline & 0xFFFFFF) << 16)
        | (quint64(radius & 0xFF) << 8) | quint64(penWidth & 0xFF);
    auto it = FStamps.find(key);
    if (it != FStamps.end())
        return *it;
    // Bounded: a stamp per zoom step and theme is all a session needs.
    constexpr int MaxStamps = 256;
    if (FStamps.size() >= MaxStamps)
        FStamps.clear();
    TStamp stamp;
    stamp.Half = radius + penWidth + 2;
    // Drawn at the target's pixel density, so that a high-density screen
    // gets sharp circles rather than scaled-up ones.
    const int side = qCeil((2 * stamp.Half + 1) * dpr);
    stamp.Image = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
    stamp.Image.setDevicePixelRatio(dpr);
    stamp.Image.fill(Qt::transparent);
    QPainter sp(&stamp.Image);
    sp.setRenderHint(QPainter::Antialiasing, true);
    sp.setBrush(ToQColor(fill));
    sp.setPen(Pen(outline, penWidth));
    sp.drawEllipse(QPointF(stamp.Half, stamp.Half), radius, radius);
    sp.end();
    return *FStamps.insert(key, stamp);
}

// ---------------------------------------------------------------------------

void TCanvasRenderer::RenderToImage(QImage& image, const TCanvasState& s, const TTLWTheme& theme)
{
    if (image.size() != QSize(s.Width, s.Height) || image.format() != QImage::Format_RGB32)
        image = QImage(std::max(1, s.Width), std::max(1, s.Height), QImage::Format_RGB32);
    constexpr int DotsPerMeter96 = 3780;
    image.setDotsPerMeterX(DotsPerMeter96);
    image.setDotsPerMeterY(DotsPerMeter96);
    QPainter p(&image);
    Render(p, s, theme);
}

void TCanvasRenderer::Render(QPainter& p, const TCanvasState& s, const TTLWTheme& theme)
{
    FArea = {0, 0, s.Width, s.Height};
    Paint(p, s, theme, plAll);
}

void TCanvasRenderer::RenderArea(QPainter& p, const TCanvasState& s, const TTLWTheme& theme,
                                 const TCanvasRect& area)
{
    PaintClipped(p, s, theme, area, plAll);
}

void TCanvasRenderer::RenderNodesOver(QPainter& p, const TCanvasState& s, const TTLWTheme& theme,
                                      const TCanvasRect& area)
{
    // Links and grid lie under the bodies and did not change: only what is
    // drawn from the node layer up is laid over them again.
    PaintClipped(p, s, theme, area, plNodesAndAbove);
}

void TCanvasRenderer::PaintClipped(QPainter& p, const TCanvasState& s, const TTLWTheme& theme,
                                   const TCanvasRect& area, TPaintLayers layers)
{
    FArea = Intersect(area, {0, 0, s.Width, s.Height});
    if (FArea.IsEmpty())
        return;
    p.setClipRect(FArea.ToQRect());
    Paint(p, s, theme, layers);
    p.setClipping(false);
}

void TCanvasRenderer::Paint(QPainter& p, const TCanvasState& s, const TTLWTheme& theme, TPaintLayers layers)
{
    T = &theme;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    if (layers == plAll) {
        p.fillRect(FArea.ToQRect(), ToQColor(theme.CanvasBg));
        if (s.ShowGrid)
            DrawGrid(p, s);
    }
    if (s.Project) {
        PrepareFonts(s.View.Zoom());
        if (layers == plAll)
            DrawConnections(p, s);
        DrawNodes(p, s);
    }
    if (s.ShowMinimap)
        DrawMinimap(p, s);
    DrawOverlays(p, s);
    T = nullptr;
}

void TCanvasRenderer::PrepareFonts(float zoom)
{
    const int text = std::max(7, RoundEven(8.0 * zoom));
    const int small = std::max(6, RoundEven(7.0 * zoom));
    FText.UseFont(TCanvasTextCache::tsTitle, MakeFont(T->FontName, text, true, false));
    FText.UseFont(TCanvasTextCache::tsBody, MakeFont(T->FontName, text, false, false));
    FText.UseFont(TCanvasTextCache::tsItalic, MakeFont(T->FontName, text, false, true));
    FText.UseFont(TCanvasTextCache::tsSmall, MakeFont(T->FontName, small, false, false));
    FText.UseFont(TCanvasTextCache::tsBadge, MakeFont(StartFontName, small, true, false));
}

void TCanvasRenderer::DrawText(QPainter& p, TCanvasTextCache::TSlot slot, TColor colour, QPoint at,
                               const TCanvasRect& clip, const QString& text)
{
    // At small zooms the rows get lower than the smallest font: a line cut
    // to a sliver is unreadable, and drawing thousands of them is what made
    // a zoomed-out view of a large project slow.
    const QRect visible = clip.ToQRect() & FArea.ToQRect();
    if (text.isEmpty() || clip.Height() < FText.LegibleHeight(slot) || visible.isEmpty())
        return;
    // A partial repaint runs clipped to its area: the text's own clip is
    // set inside it and the area's put back after.
    const bool inArea = p.hasClipping();
    p.setFont(FText.Font(slot));
    p.setPen(ToQColor(colour));
    p.setClipRect(visible);
    p.drawStaticText(at, FText.Text(slot, text));
    if (inArea)
        p.setClipRect(FArea.ToQRect());
    else
        p.setClipping(false);
}

void TCanvasRenderer::DrawGrid(QPainter& p, const TCanvasState& s)
{
    const int step = GridStep(s.GridSize, s.View.Zoom());
    if (step < 4)
        return;
    int k = 0;
    for (int x = GridFirstLine(s.View.OffsetX(), step); x < s.Width; x += step, ++k) {
        p.setPen(Pen(GridLineColor(T->GridColor, k), 1));
        p.drawLine(x, 0, x, s.Height - 1);
    }
    k = 0;
    for (int y = GridFirstLine(s.View.OffsetY(), step); y < s.Height; y += step, ++k) {
        p.setPen(Pen(GridLineColor(T->GridColor, k), 1));
        p.drawLine(0, y, s.Width - 1, y);
    }
}

void TCanvasRenderer::DrawConnections(QPainter& p, const TCanvasState& s)
{
    const TDialogueProject& project = *s.Project;
    for (const auto& node : project.Nodes()) {
        const TNodeGeometry g(*node, s.View);
        if (!node->NextNodeID().isEmpty())
            DrawLink(p, s, g.RightMid(), project.FindNode(node->NextNodeID()), T->AccentSecondary);
        const auto& options = node->PlayerOptions();
        for (size_t i = 0; i < options.size(); ++i) {
            const TPlayerOption& option = *options[i];
            const QPoint port(g.Box().Right, g.OutputPort(int(i)).y());
            if (!option.TargetNodeID.isEmpty())
                DrawLink(p, s, port, project.FindNode(option.TargetNodeID), T->AccentPrimary);
            if (option.HasSkillCheck) {
                if (!option.SkillCheck.SuccessNodeID.isEmpty())
                    DrawLink(p, s, port, project.FindNode(option.SkillCheck.SuccessNodeID), T->ColorSuccess);
                if (!option.SkillCheck.FailureNodeID.isEmpty())
                    DrawLink(p, s, port, project.FindNode(option.SkillCheck.FailureNodeID), T->ColorError);
            }
        }
    }
    FBatch.Flush(p);
}

void TCanvasRenderer::DrawLink(QPainter& p, const TCanvasState& s, QPoint from, const TDialogueNode* target,
                               TColor colour)
{
    // A link to a node that does not exist draws nothing.
    if (!target)
        return;
    const QPoint to = TNodeGeometry(*target, s.View).LeftMid();
    const float z = s.View.Zoom();
    if (!ConnectionBounds(from, to, z).Touches(FArea))
        return;
    FBatch.Add(p, from, to, colour, z, true, FArea.ToQRect());
}

void TCanvasRenderer::DrawNodes(QPainter& p, const TCanvasState& s)
{
    // Selected nodes last, so they lie on top.
    for (bool selectedPass : {false, true}) {
        for (const auto& node : s.Project->Nodes()) {
            if (node->Selected() != selectedPass)
                continue;
            const TCanvasRect r = NodeRect(*node, s.View);
            if (!OutOfArea(r, FArea))
                DrawNode(p, s, *node, r);
        }
    }
}

void TCanvasRenderer::DrawNode(QPainter& p, const TCanvasState& s, const TDialogueNode& node, const TCanvasRect& r)
{
    const TNodeGeometry g(r, s.View.Zoom());
    if (node.Selected())
        DrawGlow(p, r, T->AccentPrimary, T->CanvasBg, 4);
    else if (node.IsStartNode())
        DrawGlow(p, r, T->ColorSuccess, T->CanvasBg, 3);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    RoundRect(p, {r.Left + 3, r.Top + 4, r.Right + 3, r.Bottom + 4}, 6);

    p.setBrush(ToQColor(T->BgMedium));
    p.setPen(node.Selected() ? Pen(T->AccentPrimary, 2) : Pen(T->BorderDark, 1));
    RoundRect(p, r, 6);

    DrawHeader(p, node, g);
    DrawBody(p, node, g);
    DrawPorts(p, s, node, g);
    if (node.IsStartNode())
        DrawStartBadge(p, g);
}

void TCanvasRenderer::DrawHeader(QPainter& p, const TDialogueNode& node, const TNodeGeometry& g)
{
    const TCanvasRect& r = g.Box();
    const float z = g.Zoom();
    const TColor typeColour = NodeTypeColor(node.NodeType());
    const int bandTop = r.Top + 1;
    const int bandBottom = g.HeaderBottom();
    Fill(p, {r.Left + 1, bandTop, r.Right - 1, bandBottom}, T->BgLight);
    Fill(p, {r.Left + 1, bandTop, r.Right - 1, r.Top + std::max(2, RoundEven(3.0 * z))}, typeColour);

    const int d = RoundEven(8.0 * z);
    const int bandHeight = bandBottom - bandTop;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(ToQColor(typeColour));
    p.drawEllipse(QRectF(r.Left + 6, bandTop + DivTrunc(bandHeight - d, 2), d, d));
    p.setRenderHint(QPainter::Antialiasing, false);

    QString title = NodeTypeName(node.NodeType());
    if (!node.Speaker().isEmpty())
        title += QStringLiteral("  [") + LineText(node.Speaker()) + QLatin1Char(']');
    const int titleX = r.Left + 6 + d + 4;
    DrawText(p, TCanvasTextCache::tsTitle, typeColour, {titleX, bandTop}, {titleX, bandTop, r.Right - 4, bandBottom},
             title);

    p.setPen(Pen(T->BorderDark, 1));
    HLine(p, r.Left + 1, r.Right - 1, bandBottom);
}

void TCanvasRenderer::DrawBody(QPainter& p, const TDialogueNode& node, const TNodeGeometry& g)
{
    const TCanvasRect b = g.Body();
    const float z = g.Zoom();
    Fill(p, b, T->BgMedium);
    // Texts are kept inside the body so that small zooms and long option
    // lists never write over neighbouring nodes.
    auto inBody = [&b](const TCanvasRect& r) { return Intersect(r, b); };

    if (node.NodeType() == ntComment) {
        DrawText(p, TCanvasTextCache::tsItalic, T->TextSecondary, {b.Left + 4, b.Top + 4},
                 {b.Left + 4, b.Top + 4, b.Right - 4, b.Bottom - 4}, LineText(node.Comment()));
        return;
    }

    if (QStringView(node.Text()).trimmed().isEmpty())
        DrawText(p, TCanvasTextCache::tsItalic, T->TextDim, {b.Left + 8, b.Top + 4}, b, QStringLiteral("(no text)"));
    else
        DrawText(p, TCanvasTextCache::tsBody, T->TextPrimary, {b.Left + 8, b.Top + 4},
                 inBody({b.Left + 8, b.Top + 4, b.Right - 14, b.Top + RoundEven(22.0 * z)}), ShownNodeText(node.Text()));

    const int rowStep = RoundEven(20.0 * z);
    const int rowHeight = RoundEven(18.0 * z);
    int y = b.Top + RoundEven(24.0 * z);
    for (const auto& option : node.PlayerOptions()) {
        if (y >= b.Bottom - 4)
            break;
        DrawText(p, TCanvasTextCache::tsSmall, T->AccentPrimary, {b.Left + 8, y},
                 inBody({b.Left + 8, y, b.Right - 14, y + rowHeight}), OptionRowText(*option));
        const int lineY = y + rowStep - 1;
        if (lineY < b.Bottom) {
            p.setPen(Pen(T->BorderDark, 1));
            HLine(p, b.Left + 6, b.Right - 6, lineY);
        }
        y += rowStep;
    }

    const int badgeY = b.Bottom - RoundEven(16.0 * z);
    if (!node.Conditions().isEmpty())
        DrawText(p, TCanvasTextCache::tsSmall, T->ColorWarning, {b.Left + 8, badgeY}, b,
                 QStringLiteral("\u2699 ") + QString::number(node.Conditions().size()) + QStringLiteral(" condition(s)"));
    if (!node.Scripts().empty())
        DrawText(p, TCanvasTextCache::tsSmall, T->ColorInfo, {b.Right - RoundEven(50.0 * z), badgeY}, b,
                 QStringLiteral("\u27E8script\u27E9"));
}

void TCanvasRenderer::DrawPorts(QPainter& p, const TCanvasState& s, const TDialogueNode& node, const TNodeGeometry& g)
{
    const TNodeType type = node.NodeType();
    if (type == ntEndDialogue)
        return;
    const int radius = g.PortRadius();
    const int width = std::max(1, RoundEven(g.Zoom()));
    FPorts.Draw(p, g.InputPort(), radius, width, T->BgMedium, T->AccentSecondary);
    if (type != ntComment) {
        const int count = std::max(1, int(node.PlayerOptions().size()));
        for (int i = 0; i < count; ++i) {
            const QPoint c = g.OutputPort(i);
            if (c.y() - radius > s.Height + CullMargin)
                break;   // the remaining ports lie further down, out of view
            FPorts.Draw(p, c, radius, width, T->AccentDim, T->AccentPrimary);
        }
    }
}

void TCanvasRenderer::DrawStartBadge(QPainter& p, const TNodeGeometry& g)
{
    const TCanvasRect& r = g.Box();
    const float z = g.Zoom();
    const TCanvasRect badge{r.Left + 2, r.Top + 2, r.Left + RoundEven(40.0 * z), r.Top + RoundEven(14.0 * z)};
    p.setPen(Qt::NoPen);
    p.setBrush(ToQColor(T->ColorSuccess));
    RoundRect(p, badge, 3);
    if (badge.IsEmpty())
        return;
    p.setFont(FText.Font(TCanvasTextCache::tsBadge));
    p.setPen(ToQColor(T->BgDark));
    p.drawText(badge.ToQRect(), Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("START"));
}

void TCanvasRenderer::DrawMinimap(QPainter& p, const TCanvasState& s)
{
    if (!s.Project || s.Project->NodeCount() == 0)
        return;
    const TCanvasRect m{s.Width - 190, s.Height - 130, s.Width - 10, s.Height - 10};
    if (!m.Touches(FArea))
        return;
    p.setBrush(Qt::black);
    p.setPen(Pen(T->BorderLight, 1));
    p.drawRect(OutlineRect(m));

    const TWorldBounds wb = WorldBounds(*s.Project);
    if (wb.MaxX <= wb.MinX)
        return;
    constexpr int Inset = 8;
    const float k = float(std::min(double(180 - 2 * Inset) / double(std::max<qint64>(1, wb.MaxX - wb.MinX)),
                                   double(120 - 2 * Inset) / double(std::max<qint64>(1, wb.MaxY - wb.MinY))));
    const double dk = k;
    for (const auto& node : s.Project->Nodes()) {
        const int left = m.Left + Inset + RoundEven(double(node->X() - wb.MinX) * dk);
        const int top = m.Top + Inset + RoundEven(double(node->Y() - wb.MinY) * dk);
        const int w = std::max(4, RoundEven(node->Width() * dk));
        const int h = std::max(3, RoundEven(node->Height() * dk));
        p.fillRect(QRect(left, top, w, h), ToQColor(NodeTypeColor(node->NodeType())));
    }

    const double z = s.View.Zoom();
    const int left = m.Left + RoundEven((-s.View.OffsetX() / z - double(wb.MinX)) * dk) + Inset;
    const int top = m.Top + RoundEven((-s.View.OffsetY() / z - double(wb.MinY)) * dk) + Inset;
    const int w = RoundEven(s.Width / z * dk);
    const int h = RoundEven(s.Height / z * dk);
    p.setBrush(Qt::NoBrush);
    p.setPen(Pen(T->AccentPrimary, 1));
    if (w <= 0 || h <= 0)
        return;
    // When the view shows more than the nodes span, its frame would reach
    // past the minimap onto the canvas: it is cut at the minimap's edge.
    const QRect frame = QRect(left, top, w - 1, h - 1).intersected(OutlineRect(m));
    if (frame.isValid())
        p.drawRect(frame);
}

void TCanvasRenderer::DrawOverlays(QPainter& p, const TCanvasState& s)
{
    if (s.Selecting && !s.SelectRect.IsEmpty()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(Pen(T->AccentPrimary, 1, Qt::DashLine));
        p.drawRect(OutlineRect(s.SelectRect));
    }
    if (s.Action == ncaConnecting && s.ConnectFrom) {
        const QPoint from = TNodeGeometry(*s.ConnectFrom, s.View).RightMid();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Pen(T->AccentPrimary, 2, Qt::DashLine));
        p.drawLine(from, s.LastMousePos);
        p.setRenderHint(QPainter::Antialiasing, false);
    }
}
