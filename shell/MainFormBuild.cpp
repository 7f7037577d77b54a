// The main window's controls: menu, toolbars, side panels, log panel,
// canvas area and status bar, built in code.

#include "shell/MainForm.h"

#include "canvas/NodeCanvas.h"
#include "shell/NodeTextBox.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Widgets that keep a fixed distance to their parent's right edge.
const char* const StretchMarginProperty = "tlwRightMargin";

QLabel* AddLabel(QWidget* parent, const QString& text, QRect geometry, int pointSize = 0, bool bold = false)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    QFont f = label->font();
    if (pointSize > 0)
        f.setPointSize(pointSize);
    f.setBold(bold);
    label->setFont(f);
    return label;
}

QLabel* PanelTitle(const QString& text, QWidget* parent)
{
    auto* title = new QLabel(text, parent);
    QFont f = title->font();
    f.setPointSize(8);
    f.setBold(true);
    title->setFont(f);
    title->setContentsMargins(4, 4, 2, 4);
    return title;
}

void StretchToRight(QWidget* w, int margin) { w->setProperty(StretchMarginProperty, margin); }

QSplitter* Splitter(Qt::Orientation orientation, QWidget* parent)
{
    auto* splitter = new QSplitter(orientation, parent);
    splitter->setHandleWidth(4);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

}

QAction* TMainForm::AddAction(QMenu* menu, const QString& objectName, const QString& caption,
                              const QKeySequence& key, void (TMainForm::*command)())
{
    return AddAction(menu, objectName, caption, key, std::function<void()>([this, command] { (this->*command)(); }));
}

QAction* TMainForm::AddAction(QMenu* menu, const QString& objectName, const QString& caption,
                              const QKeySequence& key, const std::function<void()>& command)
{
    auto* action = menu->addAction(caption);
    action->setObjectName(objectName);
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    if (command)
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    return action;
}

QPushButton* TMainForm::AddButton(QWidget* parent, const QString& objectName, const QString& caption,
                                  QRect geometry, void (TMainForm::*command)())
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setGeometry(geometry);
    connect(button, &QPushButton::clicked, this, [this, command] { RunCommand([this, command] { (this->*command)(); }); });
    return button;
}

void TMainForm::BuildMenu()
{
    BuildFileMenu();
    BuildEditMenu();
    BuildViewMenu();
    BuildProjectMenu();
    BuildOtherMenus();
}

void TMainForm::BuildFileMenu()
{
    FFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    FFileMenu->setObjectName(QStringLiteral("miFile"));
    AddAction(FFileMenu, QStringLiteral("miNewProject"), QStringLiteral("&New Project"), QKeySequence(QStringLiteral("Ctrl+N")), &TMainForm::NewProject);
    AddAction(FFileMenu, QStringLiteral("miOpenProject"), QStringLiteral("&Open Project..."), QKeySequence(QStringLiteral("Ctrl+O")), &TMainForm::OpenProject);
    AddAction(FFileMenu, QStringLiteral("miSave"), QStringLiteral("&Save"), QKeySequence(QStringLiteral("Ctrl+S")), [this] { SaveProject(false); });
    AddAction(FFileMenu, QStringLiteral("miSaveAs"), QStringLiteral("Save &As..."), QKeySequence(QStringLiteral("Ctrl+Shift+S")), [this] { SaveProject(true); });
    FFileMenu->addSeparator();
    FGameScriptAction = AddAction(FFileMenu, QStringLiteral("miExportGameScript"), QStringLiteral("Export &Game Script..."), QKeySequence(), &TMainForm::ExportGameScript);
    FFileMenu->addSeparator();
    AddAction(FFileMenu, QStringLiteral("miExit"), QStringLiteral("E&xit"), QKeySequence(QStringLiteral("Alt+F4")), [this] { close(); });
    FFileMenu->addSeparator();
    FRecentHeading = AddAction(FFileMenu, QStringLiteral("miRecentProjects"), QStringLiteral("Recent Projects"), QKeySequence(), std::function<void()>());
    FRecentHeading->setEnabled(false);
    FFileMenu->addSeparator();   // removed when the recent entries are first built
}

void TMainForm::BuildEditMenu()
{
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("miEdit"));
    FUndoAction = AddAction(edit, QStringLiteral("miUndo"), QStringLiteral("&Undo"), QKeySequence(QStringLiteral("Ctrl+Z")), &TMainForm::Undo);
    FRedoAction = AddAction(edit, QStringLiteral("miRedo"), QStringLiteral("&Redo"), QKeySequence(QStringLiteral("Ctrl+Y")), &TMainForm::Redo);
    edit->addSeparator();
    AddAction(edit, QStringLiteral("miSelectAll"), QStringLiteral("Select &All"), QKeySequence(QStringLiteral("Ctrl+A")), &TMainForm::SelectAll);
    AddAction(edit, QStringLiteral("miDeleteSelected"), QStringLiteral("&Delete Selected"), QKeySequence(Qt::Key_Delete), &TMainForm::DeleteSelected);
    edit->addSeparator();
    AddAction(edit, QStringLiteral("miAutoLayout"), QStringLiteral("Auto-Layout Nodes"), QKeySequence(), &TMainForm::AutoLayoutNodes);

    // Keys the window maps itself, next to the menu shortcuts.
    auto* editKey = new QAction(this);
    editKey->setObjectName(QStringLiteral("actEditProperties"));
    editKey->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    connect(editKey, &QAction::triggered, this, [this] { RunCommand([this] { EditNodeProperties(); }); });
    addAction(editKey);
    auto* deleteKey = new QAction(this);
    deleteKey->setObjectName(QStringLiteral("actCtrlDelete"));
    deleteKey->setShortcut(QKeySequence(QStringLiteral("Ctrl+Del")));
    connect(deleteKey, &QAction::triggered, this, [this] { RunCommand([this] { DeleteSelected(); }); });
    addAction(deleteKey);
}

void TMainForm::BuildViewMenu()
{
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("miView"));
    FGridAction = AddAction(view, QStringLiteral("miShowGrid"), QStringLiteral("Show &Grid"), QKeySequence(QStringLiteral("Ctrl+G")), &TMainForm::ToggleGrid);
    FSnapAction = AddAction(view, QStringLiteral("miSnapToGrid"), QStringLiteral("&Snap to Grid"), QKeySequence(QStringLiteral("Ctrl+Shift+G")), &TMainForm::ToggleSnap);
    FMinimapAction = AddAction(view, QStringLiteral("miShowMinimap"), QStringLiteral("Show &Minimap"), QKeySequence(), &TMainForm::ToggleMinimap);
    for (QAction* a : { FGridAction, FSnapAction, FMinimapAction }) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    view->addSeparator();
    QMenu* themes = view->addMenu(QStringLiteral("&Terminal Theme"));
    themes->setObjectName(QStringLiteral("miTerminalTheme"));
    FThemeGroup = new QActionGroup(this);
    FThemeGroup->setExclusive(true);
    const QStringList captions = { QStringLiteral("?? Amber Terminal (Classic)"), QStringLiteral("?? Green Phosphor"),
                                   QStringLiteral("?? Cyan Digital"), QStringLiteral("?? Red Alert"),
                                   QStringLiteral("? Vault-Tec White") };
    for (int tag = 0; tag < captions.size(); ++tag) {
        QAction* a = themes->addAction(captions[tag]);
        a->setObjectName(QStringLiteral("miTheme%1").arg(tag));
        a->setData(tag);
        a->setCheckable(true);
        a->setChecked(tag == 0);
        FThemeGroup->addAction(a);
        FThemeActions << a;
        connect(a, &QAction::triggered, this,
                [this, tag] { RunCommand([this, tag] { ChangeTheme(TThemeStyle(tag)); }); });
    }
    view->addSeparator();
    AddAction(view, QStringLiteral("miZoomIn"), QStringLiteral("Zoom In"), QKeySequence(QStringLiteral("Ctrl+=")), [this] { FCanvas->ZoomIn(); UpdateCounters(); });
    AddAction(view, QStringLiteral("miZoomOut"), QStringLiteral("Zoom Out"), QKeySequence(QStringLiteral("Ctrl+-")), [this] { FCanvas->ZoomOut(); UpdateCounters(); });
    AddAction(view, QStringLiteral("miFitAll"), QStringLiteral("Fit All Nodes"), QKeySequence(QStringLiteral("Ctrl+F")), [this] { FCanvas->FitAll(); UpdateCounters(); });
}

void TMainForm::BuildProjectMenu()
{
    QMenu* project = menuBar()->addMenu(QStringLiteral("&Project"));
    project->setObjectName(QStringLiteral("miProject"));
    AddAction(project, QStringLiteral("miPreview"), QStringLiteral("? &Preview Dialogue..."), QKeySequence(QStringLiteral("Ctrl+P")), &TMainForm::PreviewDialogue);
    project->addSeparator();
    AddAction(project, QStringLiteral("miFloatMessages"), QStringLiteral("Float &Message Editor..."), QKeySequence(), &TMainForm::FloatMessageEditor);
    AddAction(project, QStringLiteral("miLocalization"), QStringLiteral("&Localization Manager..."), QKeySequence(), &TMainForm::LocalizationManager);
    AddAction(project, QStringLiteral("miScriptEditor"), QStringLiteral("Script &Editor..."), QKeySequence(), &TMainForm::ScriptEditor);
    project->addSeparator();
    AddAction(project, QStringLiteral("miValidation"), QStringLiteral("&Validation && Analysis..."), QKeySequence(QStringLiteral("Ctrl+Shift+V")), &TMainForm::ValidationAnalysis);
    project->addSeparator();
    QMenu* exports = project->addMenu(QStringLiteral("&Export"));
    exports->setObjectName(QStringLiteral("miExport"));
    AddAction(exports, QStringLiteral("miExportJSON"), QStringLiteral("Export as &JSON..."), QKeySequence(), &TMainForm::ExportJSON);
    AddAction(exports, QStringLiteral("miExportMSG"), QStringLiteral("Export as .&MSG File..."), QKeySequence(), &TMainForm::ExportMSG);
    AddAction(exports, QStringLiteral("miExportSSL"), QStringLiteral("Export as .&SSL Script..."), QKeySequence(), &TMainForm::ExportSSL);
    AddAction(exports, QStringLiteral("miExportFMF"), QStringLiteral("Export as .&FMF File..."), QKeySequence(), &TMainForm::ExportFMF);
    exports->addAction(FGameScriptAction);   // the File menu's command, beside the other exports too
    exports->addSeparator();
    AddAction(exports, QStringLiteral("miExportPackage"), QStringLiteral("Export &Engine Package..."), QKeySequence(), &TMainForm::ExportEnginePackage);
    exports->addSeparator();
    AddAction(exports, QStringLiteral("miExportMod"), QStringLiteral("Export &Mod Package..."), QKeySequence(), &TMainForm::ExportModPackage);
}

void TMainForm::BuildOtherMenus()
{
    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("miTools"));
    QMenu* toolsSub = tools->addMenu(QStringLiteral("&Tools"));
    toolsSub->setObjectName(QStringLiteral("miToolsSub"));
    AddAction(toolsSub, QStringLiteral("miAISprite"), QStringLiteral("AI &Sprite Generator..."), QKeySequence(), &TMainForm::AISpriteGenerator);

    QMenu* import = menuBar()->addMenu(QStringLiteral("&Import"));
    import->setObjectName(QStringLiteral("miImport"));
    AddAction(import, QStringLiteral("miImportSSL"), QStringLiteral("Import from .&SSL Script..."), QKeySequence(), &TMainForm::ImportSSL);
    AddAction(import, QStringLiteral("miImportMSG"), QStringLiteral("Import from .&MSG File..."), QKeySequence(), &TMainForm::ImportMSG);
    AddAction(import, QStringLiteral("miImportFMF"), QStringLiteral("Import from .&FMF File..."), QKeySequence(), &TMainForm::ImportFMF);
    AddAction(import, QStringLiteral("miImportGameScript"), QStringLiteral("Import &Game Script and Messages..."), QKeySequence(), &TMainForm::ImportGameScript);
    import->addSeparator();
    AddAction(import, QStringLiteral("miAIDialogue"), QStringLiteral("AI &Dialogue Generator..."), QKeySequence(), &TMainForm::AIDialogueGenerator);
    AddAction(import, QStringLiteral("miAIDialogueTree"), QStringLiteral("AI &Dialogue Tree..."), QKeySequence(), &TMainForm::AIDialogueTree);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("miHelp"));
    AddAction(help, QStringLiteral("miSettings"), QStringLiteral("&Settings..."), QKeySequence(), &TMainForm::Settings);
    AddAction(help, QStringLiteral("miAbout"), QStringLiteral("&About Tallowin"), QKeySequence(), &TMainForm::About);
}

void TMainForm::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    for (int width : { 260, 200, 200, 200 }) {
        auto* panel = new QLabel(bar);
        panel->setFixedWidth(width);
        panel->setProperty("tlwStatusPanel", true);
        bar->addWidget(panel);
        FStatusPanels << panel;
    }
}

void TMainForm::BuildMainToolbar()
{
    FMainToolbar = new QToolBar(QStringLiteral("Main"), this);
    FMainToolbar->setObjectName(QStringLiteral("tbMain"));
    FMainToolbar->setMovable(false);
    FMainToolbar->setFloatable(false);
    FMainToolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    FMainToolbar->setFixedHeight(32);
    addToolBar(Qt::TopToolBarArea, FMainToolbar);

    struct TButton { const char* name; const char* caption; const char* hint; std::function<void()> run; };
    const std::vector<TButton> buttons = {
        { "tbNew", "New", "New Project (Ctrl+N)", [this] { NewProject(); } },
        { "tbOpen", "Open", "Open Project (Ctrl+O)", [this] { OpenProject(); } },
        { "tbSave", "Save", "Save Project (Ctrl+S)", [this] { SaveProject(false); } },
        { nullptr, nullptr, nullptr, nullptr },
        { "tbUndo", "Undo", "Undo (Ctrl+Z)", [this] { Undo(); } },
        { "tbRedo", "Redo", "Redo (Ctrl+Y)", [this] { Redo(); } },
        { nullptr, nullptr, nullptr, nullptr },
        { "tbPreview", "? Preview", "Preview Dialogue (Ctrl+P)", [this] { PreviewDialogue(); } },
        { nullptr, nullptr, nullptr, nullptr },
        { "tbValidate", "? Validate", "Validate Project", [this] { ValidationAnalysis(); } },
        { "tbExport", "? Export", "Export Engine Package", [this] { ExportEnginePackage(); } },
        { nullptr, nullptr, nullptr, nullptr },
        { "tbFloatMsgs", "Float Msgs", "Edit Float Messages", [this] { FloatMessageEditor(); } },
        { "tbLocalize", "Localize", "Localization Manager", [this] { LocalizationManager(); } },
    };
    for (const TButton& b : buttons) {
        if (!b.name) {
            FMainToolbar->addSeparator();
            continue;
        }
        QAction* a = FMainToolbar->addAction(QString::fromUtf8(b.caption));
        a->setObjectName(QString::fromUtf8(b.name));
        a->setToolTip(QString::fromUtf8(b.hint));
        const std::function<void()> run = b.run;
        connect(a, &QAction::triggered, this, [this, run] { RunCommand(run); });
    }
}

void TMainForm::BuildMainPanel()
{
    auto* pnlMain = new QWidget(this);
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    auto* layout = new QVBoxLayout(pnlMain);
    layout->setContentsMargins(0, 0, 0, 0);
    FVerticalSplitter = Splitter(Qt::Vertical, pnlMain);
    FVerticalSplitter->setObjectName(QStringLiteral("splLog"));
    auto* horizontal = Splitter(Qt::Horizontal, FVerticalSplitter);
    horizontal->setObjectName(QStringLiteral("splSides"));
    horizontal->addWidget(BuildLeftPanel());
    horizontal->addWidget(BuildCanvasArea());
    horizontal->addWidget(BuildRightPanel());
    horizontal->setStretchFactor(0, 0);
    horizontal->setStretchFactor(1, 1);
    horizontal->setStretchFactor(2, 0);
    horizontal->setSizes({ 220, 800, 260 });
    FVerticalSplitter->addWidget(horizontal);
    FVerticalSplitter->addWidget(BuildLogPanel());
    FVerticalSplitter->setStretchFactor(0, 1);
    FVerticalSplitter->setStretchFactor(1, 0);
    FVerticalSplitter->setSizes({ 600, 140 });
    layout->addWidget(FVerticalSplitter);
    setCentralWidget(pnlMain);
}

QWidget* TMainForm::BuildLogPanel()
{
    FLogPanel = new QWidget;
    FLogPanel->setObjectName(QStringLiteral("pnlBottom"));
    FLogPanel->setMinimumHeight(26);
    auto* layout = new QVBoxLayout(FLogPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* strip = new QWidget(FLogPanel);
    strip->setObjectName(QStringLiteral("pnlLogHeader"));
    strip->setFixedHeight(26);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(6, 2, 12, 2);
    stripLayout->setSpacing(6);
    auto* title = new QLabel(QStringLiteral("OUTPUT LOG"), strip);
    QFont f = title->font();
    f.setPointSize(8);
    f.setBold(true);
    title->setFont(f);
    stripLayout->addWidget(title);
    stripLayout->addStretch(1);
    auto* clear = new QPushButton(QStringLiteral("Clear"), strip);
    clear->setObjectName(QStringLiteral("btnClearLog"));
    clear->setFixedSize(56, 22);
    connect(clear, &QPushButton::clicked, this, [this] { ClearLog(); });
    stripLayout->addWidget(clear);
    auto* toggle = new QPushButton(QStringLiteral("?"), strip);
    toggle->setObjectName(QStringLiteral("btnToggleLog"));
    toggle->setFixedSize(36, 22);
    connect(toggle, &QPushButton::clicked, this, [this] { ToggleLogPanel(); });
    stripLayout->addWidget(toggle);
    layout->addWidget(strip);

    FLog = new QPlainTextEdit(FLogPanel);
    FLog->setObjectName(QStringLiteral("memoLog"));
    FLog->setReadOnly(true);
    FLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    FLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont mono(QStringLiteral("Courier New"), 8);
    mono.setStyleHint(QFont::Monospace);
    FLog->setFont(mono);
    layout->addWidget(FLog, 1);
    return FLogPanel;
}

QWidget* TMainForm::BuildLeftPanel()
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnlLeft"));
    panel->setMinimumWidth(120);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PanelTitle(QStringLiteral("PROJECT NODES"), panel));

    FTree = new QTreeWidget(panel);
    FTree->setObjectName(QStringLiteral("tvProject"));
    FTree->setHeaderHidden(true);
    FTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FTree->setUniformRowHeights(true);
    connect(FTree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { RunCommand([this, item] { TreeItemClicked(item); }); });
    // Arrow keys in the tree select as clicks do. Only while the tree has the
    // focus: a rebuild moves the current item too, and that is no choice of
    // the user's. Items that name no node (root, groups) select nothing.
    connect(FTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (FTree->hasFocus() && item)
            RunCommand([this, item] { TreeItemClicked(item); });
    });
    connect(FTree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { RunCommand([this, item] { TreeItemDoubleClicked(item); }); });
    layout->addWidget(FTree, 1);

    auto* strip = new QWidget(panel);
    strip->setObjectName(QStringLiteral("pnlAddNode"));
    strip->setFixedHeight(108);
    AddLabel(strip, QStringLiteral("ADD NODE:"), QRect(4, 2, 100, 14), 7, true);
    struct TAdd { const char* caption; TNodeType type; };
    const TAdd adds[] = { { "+ NPC Dialogue", ntNPCDialogue }, { "+ Player Reply", ntPlayerReply },
                          { "+ Conditional", ntConditional }, { "+ Script Node", ntScript },
                          { "+ End Dialogue", ntEndDialogue }, { "+ Comment", ntComment } };
    for (int i = 0; i < 6; ++i) {
        auto* button = new QToolButton(strip);
        button->setObjectName(QStringLiteral("btnAdd%1").arg(int(adds[i].type)));
        button->setText(QString::fromUtf8(adds[i].caption));
        button->setAutoRaise(true);
        button->setProperty("tag", int(adds[i].type));
        button->setGeometry(i % 2 == 0 ? 2 : 104, 18 + 26 * (i / 2), 96, 24);
        const TNodeType type = adds[i].type;
        connect(button, &QToolButton::clicked, this, [this, type] { RunCommand([this, type] { AddNodeOfType(type); }); });
    }
    layout->addWidget(strip);
    return panel;
}

QWidget* TMainForm::BuildRightPanel()
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnlRight"));
    panel->setMinimumWidth(120);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PanelTitle(QStringLiteral("PROPERTIES"), panel));
    FRightPages = new QTabWidget(panel);
    FRightPages->setObjectName(QStringLiteral("pcProperties"));
    FRightPages->addTab(BuildNodeInfoPage(), QStringLiteral("Node"));
    FRightPages->addTab(BuildProjectInfoPage(), QStringLiteral("Project"));
    layout->addWidget(FRightPages, 1);
    return panel;
}

QWidget* TMainForm::BuildNodeInfoPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tsNodeInfo"));
    page->installEventFilter(this);
    const QString none(MainFormText::Replacement);
    AddLabel(page, QStringLiteral("Node ID:"), QRect(4, 6, 72, 16), 7);
    FNodeIDValue = AddLabel(page, none, QRect(78, 6, 160, 16));
    FNodeIDValue->setObjectName(QStringLiteral("lblNodeID"));
    AddLabel(page, QStringLiteral("Type:"), QRect(4, 24, 72, 16), 7);
    FNodeTypeValue = AddLabel(page, none, QRect(78, 24, 160, 16));
    FNodeTypeValue->setObjectName(QStringLiteral("lblNodeType"));
    AddLabel(page, QStringLiteral("Speaker:"), QRect(4, 42, 72, 16), 7);
    FSpeakerEdit = new QLineEdit(page);
    FSpeakerEdit->setObjectName(QStringLiteral("edtSpeaker"));
    FSpeakerEdit->setGeometry(78, 40, 170, 22);
    QLabel* textCaption = AddLabel(page, QStringLiteral("Text:"), QRect(4, 68, 240, 14), 7);
    textCaption->setObjectName(QStringLiteral("lblNodeTextCaption"));
    StretchToRight(textCaption, 8);
    FTextMemo = new QPlainTextEdit(page);
    FTextMemo->setObjectName(QStringLiteral("memoNodeText"));
    FTextMemo->setGeometry(4, 82, 240, 90);
    FTextMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    FTextMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StretchToRight(FTextMemo, 8);
    FTextBox = std::make_unique<TNodeTextBox>(FTextMemo, textCaption);
    AddLabel(page, QStringLiteral("Options:"), QRect(4, 176, 72, 16), 7);
    FOptionsValue = AddLabel(page, QStringLiteral("0"), QRect(78, 176, 160, 16));
    FOptionsValue->setObjectName(QStringLiteral("lblOptions"));
    FEditPropertiesButton = AddButton(page, QStringLiteral("btnEditProperties"), QStringLiteral("Open Full Properties..."),
                                      QRect(4, 196, 240, 28), &TMainForm::EditNodeProperties);
    FStartNodeButton = AddButton(page, QStringLiteral("btnSetStart"), QStringLiteral("? Set as Start Node"),
                                 QRect(4, 230, 240, 28), &TMainForm::SetAsStartNode);
    connect(FSpeakerEdit, &QLineEdit::textChanged, this, [this] { RunCommand([this] { NodeFieldsEdited(); }); });
    connect(FTextMemo, &QPlainTextEdit::textChanged, this, [this] { RunCommand([this] { NodeFieldsEdited(); }); });
    return page;
}

QWidget* TMainForm::BuildProjectInfoPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tsProjectInfo"));
    page->installEventFilter(this);
    struct TField { const char* label; const char* name; int y; QLineEdit** edit; };
    const TField fields[] = {
        { "Project Name:", "edtProjectName", 6, &FProjectNameEdit },
        { "NPC Name:", "edtNPCName", 44, &FNPCNameEdit },
        { "NPC Script:", "edtNPCScript", 82, &FNPCScriptEdit },
        { "Author:", "edtAuthor", 120, &FAuthorEdit },
        { "Version:", "edtVersion", 158, &FVersionEdit },
        { "Start Node ID:", "edtStartNode", 196, &FStartNodeEdit },
    };
    for (const TField& f : fields) {
        AddLabel(page, QString::fromUtf8(f.label), QRect(4, f.y, 80, 16));
        auto* edit = new QLineEdit(page);
        edit->setObjectName(QString::fromUtf8(f.name));
        edit->setGeometry(4, f.y + 16, 240, 22);
        StretchToRight(edit, 8);
        *f.edit = edit;
    }
    AddLabel(page, QStringLiteral("Description:"), QRect(4, 236, 80, 14), 7);
    FDescriptionMemo = new QPlainTextEdit(page);
    FDescriptionMemo->setObjectName(QStringLiteral("memoDescription"));
    FDescriptionMemo->setGeometry(4, 250, 240, 60);
    FDescriptionMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    FDescriptionMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StretchToRight(FDescriptionMemo, 8);
    FStatisticsLabel = AddLabel(page, QStringLiteral("Nodes: 0  |  Options: 0"), QRect(4, 312, 250, 16), 7);
    FStatisticsLabel->setObjectName(QStringLiteral("lblStats"));
    AddButton(page, QStringLiteral("btnApplyProject"), QStringLiteral("Apply Project Info"), QRect(4, 330, 240, 28),
              &TMainForm::ApplyProjectInfo);
    return page;
}

QWidget* TMainForm::BuildCanvasArea()
{
    auto* host = new QWidget;
    host->setObjectName(QStringLiteral("pnlCanvasHost"));
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildCanvasToolbar());
    FCanvas = new TNodeCanvas(host);
    FCanvas->setObjectName(QStringLiteral("NodeCanvas"));
    FCanvas->SetShowGrid(true);
    FCanvas->SetSnapToGrid(true);
    FCanvas->SetShowMinimap(true);
    FCanvas->setMinimumSize(200, 150);
    FCanvas->installEventFilter(this);
    layout->addWidget(FCanvas, 1);
    return host;
}

QWidget* TMainForm::BuildCanvasToolbar()
{
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("pnlCanvasToolbar"));
    bar->setFixedHeight(32);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* left = new QWidget(bar);
    left->setObjectName(QStringLiteral("pnlCanvasButtons"));
    left->setFixedWidth(400);
    struct TTool { const char* name; const char* caption; const char* hint; int x; std::function<void()> run; };
    const std::vector<TTool> tools = {
        { "btnZoomIn", "+", "Zoom In (Ctrl+=)", 4, [this] { FCanvas->ZoomIn(); UpdateCounters(); } },
        { "btnZoomOut", "-", "Zoom Out (Ctrl+-)", 42, [this] { FCanvas->ZoomOut(); UpdateCounters(); } },
        { "btnZoomReset", "1:1", "Reset Zoom (Ctrl+0)", 80, [this] { FCanvas->ZoomReset(); UpdateCounters(); } },
        { "btnFitAll", "?", "Fit All (Ctrl+F)", 118, [this] { FCanvas->FitAll(); UpdateCounters(); } },
        { "btnAutoLayout", "?", "Auto-Layout Nodes", 164, [this] { AutoLayoutNodes(); } },
        { "btnToggleGrid", "?", "Toggle Grid", 210, [this] { ToggleGrid(); } },
        { "btnToggleMinimap", "?", "Toggle Minimap", 248, [this] { ToggleMinimap(); } },
    };
    for (const TTool& t : tools) {
        auto* button = new QToolButton(left);
        button->setObjectName(QString::fromUtf8(t.name));
        button->setText(QString::fromUtf8(t.caption));
        button->setToolTip(QString::fromUtf8(t.hint));
        button->setAutoRaise(true);
        button->setGeometry(t.x, 4, 36, 24);
        const std::function<void()> run = t.run;
        connect(button, &QToolButton::clicked, this, [this, run] { RunCommand(run); });
    }
    FZoomLabel = AddLabel(left, QStringLiteral("Zoom: 100%"), QRect(294, 8, 100, 16), 8);
    FZoomLabel->setObjectName(QStringLiteral("lblZoom"));
    layout->addWidget(left);
    layout->addStretch(1);

    auto* right = new QWidget(bar);
    right->setObjectName(QStringLiteral("pnlCanvasCounters"));
    right->setFixedWidth(200);
    FNodesLabel = AddLabel(right, QStringLiteral("Nodes: 0  |  Selected: 0"), QRect(4, 8, 192, 16), 8);
    FNodesLabel->setObjectName(QStringLiteral("lblNodes"));
    layout->addWidget(right);
    return bar;
}

void TMainForm::ConnectCanvas()
{
    connect(FCanvas, &TNodeCanvas::OnNodeSelect, this,
            [this](const QString& id) { RunCommand([this, id] { CanvasNodeSelected(id); }); });
    connect(FCanvas, &TNodeCanvas::OnNodeDblClick, this,
            [this](const QString& id) { RunCommand([this, id] { CanvasNodeDoubleClicked(id); }); });
    connect(FCanvas, &TNodeCanvas::OnConnectionMade, this, [this](const QString& from, const QString& to, int opt) {
        RunCommand([this, from, to, opt] { CanvasConnectionMade(from, to, opt); });
    });
    connect(FCanvas, &TNodeCanvas::OnModified, this, [this] { RunCommand([this] { CanvasModified(); }); });
    connect(FCanvas, &TNodeCanvas::OnLog, this, [this](const QString& msg) { AddLog(msg); });
}

void TMainForm::ApplyFormTheme()
{
    TThemeManager::ApplyToForm(this);
    FCanvas->RebuildBuffer();
    FCanvas->update();
}
