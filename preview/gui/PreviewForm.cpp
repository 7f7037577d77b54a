#include "preview/gui/PreviewForm.h"

#include "editors/AssetBrowserListing.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const TTLWTheme& Theme() { return TThemeManager::Current(); }

QColor ToQColor(TColor c) { return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)); }

QString Css(TColor c) { return ToQColor(c).name(); }

// "background: …; color: …" for one widget class, so children keep theirs.
void Paint(QWidget* w, TColor background, TColor text, const QString& extra = QString())
{
    w->setStyleSheet(QStringLiteral("%1 { background-color: %2; color: %3; %4 }")
                         .arg(QString::fromLatin1(w->metaObject()->className()), Css(background), Css(text), extra));
}

QLabel* Title(const QString& text)
{
    auto* label = new QLabel(text);
    QFont f = label->font();
    f.setBold(true);
    f.setPointSize(8);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(Css(Theme().AccentSecondary)));
    return label;
}

QTableWidget* Grid(const QStringList& columns)
{
    auto* grid = new QTableWidget(0, columns.size());
    grid->setHorizontalHeaderLabels(columns);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setShowGrid(true);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    Paint(grid, Theme().BgDark, Theme().TextPrimary, QStringLiteral("gridline-color: %1;").arg(Css(Theme().BorderDark)));
    return grid;
}

void SetRows(QTableWidget* grid, const QVector<QStringList>& rows)
{
    grid->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            grid->setItem(r, c, new QTableWidgetItem(c < rows[r].size() ? rows[r][c] : QString()));
}

bool IsDescendant(QObject* object, QWidget* ancestor)
{
    for (QObject* o = object; o; o = o->parent())
        if (o == ancestor)
            return true;
    return false;
}

}

void TPreviewForm::RunPreview(QWidget* owner, TDialogueProject* project, const QString& startNodeID,
                              const std::function<void()>& onFinished)
{
    if (!project)
        return;
    TPreviewForm form(owner, project);
    form.Start(startNodeID);
    form.exec();
    if (onFinished)
        onFinished();
}

TPreviewForm::TPreviewForm(QWidget* owner, TDialogueProject* project, IPreviewRandom* random)
    : QDialog(owner), FProject(project), FEngine(project, random)
{
    setWindowTitle(QStringLiteral("Dialogue Preview"));
    resize(1100, 700);
    setSizeGripEnabled(true);
    InputBox = [this](const QString& title, const QString& prompt, QString& value) {
        bool ok = false;
        const QString answer = QInputDialog::getText(this, title, prompt, QLineEdit::Normal, value, &ok);
        if (ok)
            value = answer;
        return ok;
    };
    FEngine.OnCloseRequested = [this] { accept(); };
    BuildControls();
    ApplyTheme();
    // Keys reach the window before the focused control: digits and Enter
    // pick answers wherever the focus is.
    qApp->installEventFilter(this);
}

TPreviewForm::~TPreviewForm()
{
    qApp->removeEventFilter(this);
    qDeleteAll(FRetiredButtons);
}

void TPreviewForm::Start(const QString& startNodeID)
{
    setWindowTitle(PreviewWindowTitle(*FProject));
    FEngine.Start(startNodeID);
    Refresh();
}

// ---------------------------------------------------------------------------
// Layout

void TPreviewForm::BuildControls()
{
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setHandleWidth(5);
    splitter->setObjectName(QStringLiteral("splitter"));

    auto* left = new QWidget;
    left->setObjectName(QStringLiteral("pnlLeft"));
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);
    leftLayout->addWidget(BuildGameView(), 1);

    FOptionsArea = new QScrollArea;
    FOptionsArea->setFrameShape(QFrame::NoFrame);
    FOptionsArea->setFixedHeight(220);
    FOptionsArea->setWidgetResizable(true);
    FOptionsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FOptionsBox = new QWidget;
    FOptionsBox->setObjectName(QStringLiteral("scrollOptions"));
    FOptionsArea->setWidget(FOptionsBox);
    leftLayout->addWidget(FOptionsArea);
    leftLayout->addWidget(BuildLogPanel());
    leftLayout->addWidget(BuildControlStrip());

    splitter->addWidget(left);
    splitter->addWidget(BuildInspector());
    splitter->setSizes({ 680, 415 });
    splitter->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

QWidget* TPreviewForm::BuildGameView()
{
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("pnlGameView"));
    auto* layout = new QHBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* column = new QWidget;
    column->setObjectName(QStringLiteral("pnlPortrait"));
    column->setFixedWidth(140);
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->setSpacing(0);
    FPortrait = new QLabel;
    FPortrait->setFixedSize(140, 140);
    FPortrait->setAlignment(Qt::AlignCenter);
    columnLayout->addWidget(FPortrait);
    FSpeaker = new QLabel(QStringLiteral("NPC"));
    FSpeaker->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    FSpeaker->setWordWrap(true);
    FSpeaker->setContentsMargins(0, 4, 0, 0);
    QFont bold = FSpeaker->font();
    bold.setBold(true);
    bold.setPointSize(10);
    FSpeaker->setFont(bold);
    columnLayout->addWidget(FSpeaker);
    columnLayout->addStretch(1);
    layout->addWidget(column);

    FPane = new QPlainTextEdit;
    FPane->setReadOnly(true);
    FPane->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    FPane->setFrameShape(QFrame::Panel);
    FPane->setFrameShadow(QFrame::Sunken);
    layout->addWidget(FPane, 1);
    return view;
}

QWidget* TPreviewForm::BuildLogPanel()
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnlLog"));
    panel->setFixedHeight(130);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    layout->addWidget(Title(QStringLiteral("CONVERSATION LOG")));
    FLogList = new QListWidget;
    FLogList->setUniformItemSizes(true);
    FLogList->setSelectionMode(QAbstractItemView::NoSelection);
    layout->addWidget(FLogList, 1);
    return panel;
}

QWidget* TPreviewForm::BuildControlStrip()
{
    auto* strip = new QWidget;
    strip->setObjectName(QStringLiteral("pnlControls"));
    strip->setFixedHeight(44);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(8, 8, 8, 8);
    auto button = [&](const QString& caption, int width) {
        auto* b = new QPushButton(caption);
        b->setFixedSize(width, 28);
        b->setAutoDefault(false);
        layout->addWidget(b);
        return b;
    };
    connect(button(QStringLiteral("&Restart"), 90), &QPushButton::clicked, this, [this] { FEngine.Restart(); Refresh(); });
    connect(button(QStringLiteral("&Back"), 80), &QPushButton::clicked, this, [this] { FEngine.StepBack(); Refresh(); });
    FAutoAdvance = new QCheckBox(QStringLiteral("&Auto-advance NPC"));
    connect(FAutoAdvance, &QCheckBox::toggled, this, [this](bool on) { FEngine.SetAutoAdvance(on); });
    layout->addWidget(FAutoAdvance);
    FNodeInfo = new QLabel(QStringLiteral("Node: -"));
    layout->addWidget(FNodeInfo, 1);
    connect(button(QStringLiteral("&Close"), 86), &QPushButton::clicked, this, &QDialog::reject);
    return strip;
}

QWidget* TPreviewForm::BuildInspector()
{
    auto* right = new QWidget;
    right->setObjectName(QStringLiteral("pnlInspector"));
    auto* layout = new QVBoxLayout(right);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(Title(QStringLiteral("VARIABLE INSPECTOR")));
    // Script conditions of imported options cannot be evaluated here.
    auto* guardsHold = new QCheckBox(QStringLiteral("Script &conditions hold"));
    guardsHold->setObjectName(QStringLiteral("chkGuardsHold"));
    guardsHold->setChecked(FEngine.GuardsHold());
    connect(guardsHold, &QCheckBox::toggled, this, [this](bool on) { FEngine.SetGuardsHold(on); Refresh(); });
    layout->addWidget(guardsHold);

    FTabs = new QTabWidget;
    FVarsGrid = Grid({ QStringLiteral("Variable"), QStringLiteral("Value") });
    connect(FVarsGrid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { EditVarRow(row); });
    FTabs->addTab(FVarsGrid, QStringLiteral("Global Vars"));

    FSkillsGrid = Grid({ QStringLiteral("Skill"), QStringLiteral("Value"), QStringLiteral("Tag") });
    connect(FSkillsGrid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { EditSkillRow(row); });
    QVector<QStringList> skillRows;
    for (const char* name : SkillNames)
        skillRows.append({ QString::fromLatin1(name), QStringLiteral("40"), QString() });
    SetRows(FSkillsGrid, skillRows);
    FTabs->addTab(FSkillsGrid, QStringLiteral("Skills"));

    auto* inventory = new QWidget;
    auto* invLayout = new QVBoxLayout(inventory);
    invLayout->setContentsMargins(0, 0, 0, 0);
    FInventoryList = new QListWidget;
    invLayout->addWidget(FInventoryList, 1);
    auto* invStrip = new QWidget;
    invStrip->setFixedHeight(36);
    auto* stripLayout = new QHBoxLayout(invStrip);
    stripLayout->setContentsMargins(2, 2, 2, 2);
    FInventoryEdit = new QLineEdit;
    FInventoryEdit->setFixedWidth(130);
    stripLayout->addWidget(FInventoryEdit);
    auto* plus = new QPushButton(QStringLiteral("+"));
    auto* minus = new QPushButton(QStringLiteral("-"));
    for (QPushButton* b : { plus, minus }) {
        b->setFixedWidth(32);
        b->setAutoDefault(false);
        stripLayout->addWidget(b);
    }
    stripLayout->addStretch(1);
    connect(plus, &QPushButton::clicked, this, &TPreviewForm::AddInventoryItem);
    connect(minus, &QPushButton::clicked, this, &TPreviewForm::RemoveInventoryItem);
    invLayout->addWidget(invStrip);
    FTabs->addTab(inventory, QStringLiteral("Inventory"));

    FQuestGrid = Grid({ QStringLiteral("Quest"), QStringLiteral("Flag"), QStringLiteral("State") });
    FTabs->addTab(FQuestGrid, QStringLiteral("Quest Flags"));
    layout->addWidget(FTabs, 1);

    auto* bottom = new QWidget;
    bottom->setFixedHeight(56);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->addWidget(Title(QStringLiteral("KARMA")));
    bottomLayout->addSpacing(40);
    bottomLayout->addWidget(Title(QStringLiteral("REPUTATION")));
    bottomLayout->addStretch(1);
    layout->addWidget(bottom);
    return right;
}

void TPreviewForm::ApplyTheme()
{
    const TTLWTheme& t = Theme();
    TThemeManager::ApplyToForm(this);
    Paint(this, t.BgDark, t.TextPrimary);
    for (const char* name : { "pnlInspector", "pnlPortrait", "pnlLog", "pnlControls" })
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(name)))
            Paint(w, t.BgMedium, t.TextPrimary);
    for (const char* name : { "pnlLeft", "pnlGameView", "scrollOptions" })
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(name)))
            Paint(w, t.BgDark, t.TextPrimary);
    FOptionsArea->setStyleSheet(QStringLiteral("QScrollArea { background-color: %1; border: none; }").arg(Css(t.BgDark)));
    if (auto* splitter = findChild<QSplitter*>())
        splitter->setStyleSheet(QStringLiteral("QSplitter::handle { background-color: %1; }").arg(Css(t.AccentDim)));

    QFont mono(t.MonoFontName);
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(12);
    FPane->setFont(mono);
    Paint(FPane, t.BgDark, t.TextPrimary, QStringLiteral("border: none;"));
    Paint(FLogList, t.BgMedium, t.TextSecondary);
    QFont small = FLogList->font();
    small.setPointSize(8);
    FLogList->setFont(small);
    FSpeaker->setStyleSheet(QStringLiteral("color: %1; background-color: %2;").arg(Css(t.AccentPrimary), Css(t.BgMedium)));
    FNodeInfo->setStyleSheet(QStringLiteral("color: %1;").arg(Css(t.TextDim)));
    FNodeInfo->setFont(small);
    FAutoAdvance->setStyleSheet(QStringLiteral("color: %1;").arg(Css(t.TextSecondary)));
    if (auto* guardsHold = findChild<QCheckBox*>(QStringLiteral("chkGuardsHold")))
        guardsHold->setStyleSheet(FAutoAdvance->styleSheet());
    Paint(FInventoryList, t.BgDark, t.TextPrimary);
    Paint(FInventoryEdit, t.BgLight, t.TextPrimary);
    FTabs->setStyleSheet(QStringLiteral("QTabWidget::pane { background-color: %1; } QTabBar::tab { background-color: %1; color: %2; padding: 4px 10px; } QTabBar::tab:selected { background-color: %3; }")
                             .arg(Css(t.BgMedium), Css(t.TextPrimary), Css(t.BgLight)));
}

// ---------------------------------------------------------------------------
// Showing the engine's state

void TPreviewForm::Refresh()
{
    FNodeInfo->setText(FEngine.NodeInfo());
    FSpeaker->setText(FEngine.SpeakerName());
    FPane->setPlainText(FEngine.PaneText());
    QPalette p = FPane->palette();
    p.setColor(QPalette::Text, ToQColor(PreviewColor(Theme(), FEngine.PaneColor())));
    FPane->setPalette(p);
    FPane->setStyleSheet(QStringLiteral("QPlainTextEdit { background-color: %1; color: %2; border: none; }")
                             .arg(Css(Theme().BgDark), Css(PreviewColor(Theme(), FEngine.PaneColor()))));
    RefreshPortrait();
    RefreshOptions();
    RefreshLog();
    RefreshInspector();
}

QPixmap TPreviewForm::PlaceholderPortrait()
{
    const TTLWTheme& t = Theme();
    QPixmap pixmap(140, 140);
    pixmap.fill(ToQColor(t.BgMedium));
    QPainter painter(&pixmap);
    painter.setPen(QPen(ToQColor(t.AccentSecondary), 2, Qt::DotLine));
    painter.drawRect(QRect(QPoint(4, 4), QPoint(136, 136)));
    painter.setPen(QPen(ToQColor(t.AccentSecondary), 1));
    painter.setBrush(ToQColor(t.AccentDim));
    painter.drawEllipse(QRect(QPoint(50, 20), QPoint(90, 60)));
    for (const QRect& r : { QRect(QPoint(44, 60), QPoint(96, 110)), QRect(QPoint(30, 62), QPoint(46, 100)),
                            QRect(QPoint(94, 62), QPoint(110, 100)), QRect(QPoint(46, 110), QPoint(68, 136)),
                            QRect(QPoint(72, 110), QPoint(94, 136)) })
        painter.drawRect(r);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(7);
    painter.setFont(font);
    painter.setPen(ToQColor(t.TextDim));
    painter.drawText(QPoint(30, 2 + painter.fontMetrics().ascent()), QStringLiteral("[ NO PORTRAIT ]"));
    return pixmap;
}

void TPreviewForm::RefreshPortrait()
{
    // Through the asset loader, whose PNG decoder refuses hostile files
    // in bounded memory.
    QImage image;
    const QString file = FEngine.PortraitFile();
    if (!file.isEmpty() && QFileInfo::exists(file))
        AssetBrowserListing::LoadImageFile(file, image);
    const QPixmap picture = QPixmap::fromImage(image);
    if (picture.isNull()) {
        FPortrait->setPixmap(PlaceholderPortrait());
        return;
    }
    FPortrait->setPixmap(picture.scaled(140, 140, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TPreviewForm::RefreshOptions()
{
    // The click that leads here comes from one of these buttons, so they are
    // only put away now and destroyed with the window.
    for (QPushButton* b : FOptionButtons) {
        b->setEnabled(false);
        b->hide();
        b->setParent(nullptr);
        FRetiredButtons.append(b);
    }
    FOptionButtons.clear();

    const QVector<TPreviewOptionEntry>& entries = FEngine.Entries();
    const int clientWidth = FOptionsArea->viewport()->width() > 40 ? FOptionsArea->viewport()->width() : 660;
    const QVector<TPreviewButtonGeometry> geometry = PreviewButtonLayout(entries, clientWidth);
    int bottom = 0;
    for (int i = 0; i < entries.size(); ++i) {
        const TPreviewOptionEntry& e = entries[i];
        auto* b = new QPushButton(e.Caption, FOptionsBox);
        b->setGeometry(geometry[i].Left, geometry[i].Top, geometry[i].Width, geometry[i].Height);
        b->setEnabled(e.Enabled);
        b->setToolTip(e.Hint);
        b->setAutoDefault(false);
        QFont f = b->font();
        f.setBold(e.Bold);
        b->setFont(f);
        b->setStyleSheet(QStringLiteral("QPushButton { text-align: left; padding-left: 8px; color: %1; background-color: %2; border: 1px solid %3; }"
                                        "QPushButton:hover { border-color: %4; }"
                                        "QPushButton:disabled { color: %5; }")
                             .arg(Css(PreviewColor(Theme(), e.Color)), Css(Theme().BgMedium), Css(Theme().BorderLight),
                                  Css(Theme().AccentPrimary), Css(Theme().TextDisabled)));
        connect(b, &QPushButton::clicked, this, [this, i] { Choose(i); });
        b->show();
        FOptionButtons.append(b);
        bottom = geometry[i].Top + geometry[i].Height;
    }
    FOptionsBox->setMinimumHeight(bottom + 4);
}

void TPreviewForm::RefreshLog()
{
    const QVector<TPreviewLogLine>& log = FEngine.Log();
    if (log.size() < FLoggedLines) {
        FLogList->clear();
        FLoggedLines = 0;
    }
    for (; FLoggedLines < log.size(); ++FLoggedLines) {
        const TPreviewLogLine& line = log[FLoggedLines];
        auto* item = new QListWidgetItem(line.Text);
        item->setSizeHint(QSize(0, 20));
        if (!line.IsHistory)
            item->setForeground(ToQColor(PreviewColor(Theme(), line.Color)));
        FLogList->addItem(item);
    }
    FLogList->scrollToBottom();
}

void TPreviewForm::RefreshInspector()
{
    QVector<QStringList> vars;
    for (const auto& row : FEngine.GlobalVarRows())
        vars.append({ row.first, QString::number(row.second) });
    SetRows(FVarsGrid, vars);
    const auto skills = FEngine.SkillRows();
    for (int r = 0; r < skills.size() && r < FSkillsGrid->rowCount(); ++r)
        FSkillsGrid->item(r, 1)->setText(QString::number(skills[r].second));
    SetRows(FQuestGrid, FEngine.QuestFlagRows());
    FInventoryList->clear();
    FInventoryList->addItems(FEngine.SimInventory());
}

// ---------------------------------------------------------------------------
// Input

void TPreviewForm::Choose(int position)
{
    FEngine.ChooseEntry(position);
    if (result() == QDialog::Accepted && !isVisible())
        return;
    Refresh();
}

void TPreviewForm::EditVarRow(int row)
{
    if (row < 0 || row >= FVarsGrid->rowCount())
        return;
    const QString caption = FVarsGrid->item(row, 0)->text();
    QString value = FVarsGrid->item(row, 1)->text();
    if (!InputBox(QStringLiteral("Edit Variable"), caption + QStringLiteral(":"), value))
        return;
    qint32 stored = 0;
    if (FEngine.EditGlobalVarRow(caption, value, &stored))
        FVarsGrid->item(row, 1)->setText(QString::number(stored));
}

void TPreviewForm::EditSkillRow(int row)
{
    if (row < 0 || row >= FSkillsGrid->rowCount())
        return;
    const QString name = FSkillsGrid->item(row, 0)->text();
    QString value = FSkillsGrid->item(row, 1)->text();
    if (!InputBox(QStringLiteral("Edit Skill Value"), name + QStringLiteral(":"), value))
        return;
    qint32 stored = 0;
    if (FEngine.EditSkillRow(name, value, &stored))
        FSkillsGrid->item(row, 1)->setText(QString::number(stored));
}

void TPreviewForm::AddInventoryItem()
{
    if (FEngine.AddInventoryItem(FInventoryEdit->text()))
        FInventoryList->addItem(FEngine.SimInventory().constLast());
    FInventoryEdit->clear();
}

void TPreviewForm::RemoveInventoryItem()
{
    const int row = FInventoryList->currentRow();
    if (row >= 0 && FEngine.RemoveInventoryItem(row))
        delete FInventoryList->takeItem(row);
}

bool TPreviewForm::HandleKey(QKeyEvent* event)
{
    const int key = event->key();
    if (key >= Qt::Key_1 && key <= Qt::Key_9 && !(event->modifiers() & Qt::KeypadModifier)) {
        const int position = key - Qt::Key_1;
        if (position < FOptionButtons.size() && FOptionButtons[position]->isEnabled())
            FOptionButtons[position]->click();
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (!FOptionButtons.isEmpty() && FOptionButtons.first()->isEnabled())
            FOptionButtons.first()->click();
        return true;
    }
    if (key == Qt::Key_Escape) {
        reject();
        return true;
    }
    return false;
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched != this && IsDescendant(watched, this))
        return HandleKey(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

void TPreviewForm::keyPressEvent(QKeyEvent* event)
{
    if (!HandleKey(event))
        QDialog::keyPressEvent(event);
}
