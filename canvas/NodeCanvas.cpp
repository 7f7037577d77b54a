#include "canvas/NodeCanvas.h"

#include "canvas/CanvasHitTest.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

class TNodeCanvas::TEventBridge : public TCanvasEvents {
public:
    explicit TEventBridge(TNodeCanvas* canvas) : W(canvas) {}
    void NodeSelected(const QString& nodeID) override { Q_EMIT W->OnNodeSelect(nodeID); }
    void NodeDoubleClicked(const QString& nodeID) override { Q_EMIT W->OnNodeDblClick(nodeID); }
    void ConnectionMade(const QString& fromID, const QString& toID, int optIdx) override
    {
        Q_EMIT W->OnConnectionMade(fromID, toID, optIdx);
    }
    void Modified() override { Q_EMIT W->OnModified(); }
    bool LogAttached() const override
    {
        static const QMetaMethod logSignal = QMetaMethod::fromSignal(&TNodeCanvas::OnLog);
        return W->isSignalConnected(logSignal);
    }
    void Log(const QString& msg) override { Q_EMIT W->OnLog(msg); }
    void Repaint() override { W->update(); }
    void ShowContextMenu(QPoint clientPos) override { W->FPopupMenu->popup(W->mapToGlobal(clientPos)); }

private:
    TNodeCanvas* W;
};

namespace {

TCanvasModifiers ModifiersOf(Qt::KeyboardModifiers m)
{
    TCanvasModifiers mods;
    mods.Shift = m.testFlag(Qt::ShiftModifier);
    mods.Ctrl = m.testFlag(Qt::ControlModifier);
    return mods;
}

TCanvasKey CanvasKeyOf(int key)
{
    switch (key) {
    case Qt::Key_Delete: return TCanvasKey::Delete;
    case Qt::Key_Minus: return TCanvasKey::Minus;
    case Qt::Key_Equal: return TCanvasKey::Equal;
    case Qt::Key_0: return TCanvasKey::Zero;
    case Qt::Key_A: return TCanvasKey::A;
    case Qt::Key_F: return TCanvasKey::F;
    case Qt::Key_G: return TCanvasKey::G;
    default: return TCanvasKey::Other;
    }
}

}

TNodeCanvas::TNodeCanvas(QWidget* parent)
    : QWidget(parent),
      FEvents(std::make_unique<TEventBridge>(this)),
      FCommands(FState, *FEvents),
      FGesture(FState, *FEvents, FCommands)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // Every pixel is painted from the buffer; nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    BuildPopupMenu();
    SyncSize();
}

TNodeCanvas::~TNodeCanvas() = default;

void TNodeCanvas::BuildPopupMenu()
{
    FPopupMenu = new QMenu(this);
    struct TInsertItem {
        const char* Caption;
        TNodeType Type;
    };
    static const TInsertItem inserts[] = {
        {"+ NPC Dialogue", ntNPCDialogue}, {"+ Player Reply", ntPlayerReply}, {"+ Conditional", ntConditional},
        {"+ Script Node", ntScript},       {"+ End Dialogue", ntEndDialogue}, {"+ Comment", ntComment}};
    for (const TInsertItem& item : inserts) {
        const TNodeType type = item.Type;
        FPopupMenu->addAction(QString::fromLatin1(item.Caption), this,
                              [this, type] { FCommands.AddNode(type, FState.MouseStart.x(), FState.MouseStart.y()); });
    }
    FPopupMenu->addSeparator();
    FPopupMenu->addAction(QStringLiteral("Delete Node"), this, [this] { FCommands.DeleteRightClickNode(); });
    FPopupMenu->addAction(QStringLiteral("Set as Start Node"), this, [this] { FCommands.SetRightClickNodeAsStart(); });
    FPopupMenu->addSeparator();
    FPopupMenu->addAction(QStringLiteral("Properties..."), this, [this] { FCommands.ShowRightClickProperties(); });
}

void TNodeCanvas::SyncSize()
{
    FState.Width = width();
    FState.Height = height();
}

void TNodeCanvas::SetProject(TDialogueProject* proj)
{
    SyncSize();
    FState.Project = proj;
    FState.SelectedNodes.clear();
    FState.DragNode = nullptr;
    FState.ConnectFrom = nullptr;
    FState.RightClickNode = nullptr;
    FState.Action = ncaNone;
    FState.Selecting = false;
    FCommands.CenterView();
    RebuildBuffer();
    update();
}

void TNodeCanvas::RebuildBuffer()
{
    if (width() <= 0)
        return;
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(qMax(1, qRound(width() * dpr)), qMax(1, qRound(height() * dpr)));
    if (FBuffer.size() != pixels) {
        FBuffer = QImage(pixels, QImage::Format_RGB32);
        FBufferHoldsState = false;
    }
    FBuffer.setDevicePixelRatio(dpr);
    // Fonts are given in points; measure them as the screen does.
    FBuffer.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    FBuffer.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
}

void TNodeCanvas::CenterView() { SyncSize(); FCommands.CenterView(); }
void TNodeCanvas::ZoomIn() { FCommands.ZoomIn(); }
void TNodeCanvas::ZoomOut() { FCommands.ZoomOut(); }
void TNodeCanvas::ZoomReset() { FCommands.ZoomReset(); }
void TNodeCanvas::FitAll() { SyncSize(); FCommands.FitAll(); }
void TNodeCanvas::AutoLayout() { SyncSize(); FCommands.AutoLayout(); }
void TNodeCanvas::AddNode(TNodeType nodeType, int x, int y) { FCommands.AddNode(nodeType, x, y); }
void TNodeCanvas::DeleteSelected() { FCommands.DeleteSelected(); }
void TNodeCanvas::SelectAll() { FCommands.SelectAll(); }
void TNodeCanvas::SelectNode(const QString& nodeID) { FCommands.SelectNode(nodeID); }

QVector<TDialogueNode*> TNodeCanvas::SelectedNodes()
{
    FCommands.ForgetVanishedNodes();
    return FState.SelectedNodes;
}

TDialogueNode* TNodeCanvas::NodeAtPoint(QPoint p) const
{
    return ::NodeAtPoint(FState.Project, FState.View, p);
}

int TNodeCanvas::PortAtPoint(QPoint p)
{
    const TPortHit hit = FGesture.PortAt(p);
    if (hit.Option >= 0) {
        FState.ConnectFrom = hit.Node;
        FState.ConnectFromOpt = hit.Option;
    }
    return hit.Option;
}

QImage TNodeCanvas::RenderToImage()
{
    SyncSize();
    QImage image;
    FRenderer.RenderToImage(image, FState, TThemeManager::Current());
    return image;
}

void TNodeCanvas::paintEvent(QPaintEvent* event)
{
    SyncSize();
    RebuildBuffer();
    if (FBuffer.isNull())
        return;
    const QRect dirty = event->rect();
    const QRect changedBodies = FChangedBodies;
    FChangedBodies = QRect();
    {
        QPainter bp(&FBuffer);
        const TTLWTheme& theme = TThemeManager::Current();
        const TCanvasRect area{dirty.left(), dirty.top(), dirty.right() + 1, dirty.bottom() + 1};
        // Any full update() makes the whole widget dirty; a smaller area
        // comes only from UpdateNode or an expose, while the rest of the
        // buffer still shows the current state.
        if (!FBufferHoldsState || dirty == rect()) {
            FRenderer.Render(bp, FState, theme);
            FBufferHoldsState = true;
        } else if (changedBodies.contains(dirty)) {
            FRenderer.RenderNodesOver(bp, FState, theme, area);
        } else {
            FRenderer.RenderArea(bp, FState, theme, area);
        }
    }
    QPainter p(this);
    p.drawImage(0, 0, FBuffer);
}

void TNodeCanvas::UpdateNode(const TDialogueNode& node)
{
    const QRect box = GetNodeRect(node).ToQRect() & rect();
    if (box.isEmpty())
        return;
    FChangedBodies |= box;
    update(box);
}

void TNodeCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    SyncSize();
    RebuildBuffer();
}

void TNodeCanvas::ApplyCursor()
{
    switch (FState.Cursor) {
    case ccMove: setCursor(Qt::SizeAllCursor); break;
    case ccHand: setCursor(Qt::ClosedHandCursor); break;
    case ccArrow: unsetCursor(); break;
    }
}

void TNodeCanvas::Press(QMouseEvent* event)
{
    TCanvasButton button;
    switch (event->button()) {
    case Qt::LeftButton: button = cbLeft; break;
    case Qt::RightButton: button = cbRight; break;
    case Qt::MiddleButton: button = cbMiddle; break;
    default: return;
    }
    setFocus(Qt::MouseFocusReason);
    SyncSize();
    FGesture.Press(button, ModifiersOf(event->modifiers()), event->position().toPoint());
    event->accept();
}

void TNodeCanvas::mousePressEvent(QMouseEvent* event)
{
    FDoubleClickPending = false;
    Press(event);
}

void TNodeCanvas::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is an ordinary press; the double
    // click itself is reported after its release, so that a window the host
    // opens for it cannot swallow the release of a gesture in progress.
    Press(event);
    FDoubleClickPending = event->button() == Qt::LeftButton;
}

void TNodeCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    // A gesture whose button went up elsewhere (another window took the
    // release) ends here instead of dragging on without a button.
    if (FState.Action != ncaNone && event->buttons() == Qt::NoButton) {
        FGesture.Release(p);
        ApplyCursor();
        return;
    }
    FGesture.Move(p);
    ApplyCursor();
}

void TNodeCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    FGesture.Release(event->position().toPoint());
    ApplyCursor();
    if (FDoubleClickPending) {
        FDoubleClickPending = false;
        FGesture.DoubleClick();
    }
}

void TNodeCanvas::wheelEvent(QWheelEvent* event)
{
    // Handled in every case so the wheel never scrolls a parent. A purely
    // sideways scroll is not a wheel notch up or down and zooms nothing.
    event->accept();
    const QPoint delta = event->angleDelta();
    if (delta.y() == 0 && delta.x() != 0)
        return;
    SyncSize();
    FGesture.Wheel(event->position().toPoint(), delta.y());
}

void TNodeCanvas::keyPressEvent(QKeyEvent* event)
{
    SyncSize();
    if (FGesture.Key(CanvasKeyOf(event->key()), ModifiersOf(event->modifiers())))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}
