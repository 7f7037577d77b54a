#include "ai/gui/AISpriteForm.h"

#include "ai/AIImageGenerator.h"
#include "shell/ThemeManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

const QString TfrmAISprte::ModelID = QLatin1String(AISpriteSheet::ModelID);
const QString TfrmAISprte::Caption = QLatin1String(AISpriteSheet::WindowCaption);

namespace {

constexpr int Margin = 12;
constexpr int RowStep = 28;
constexpr int CaptionWidth = 80;
constexpr int InputX = Margin + CaptionWidth + 4;
constexpr int InputWidth = TfrmAISprte::FormWidth - InputX - Margin;
constexpr int FullWidth = TfrmAISprte::FormWidth - 2 * Margin;

// What the worker hands back: frames without text, composed into the sheet
// on the GUI thread, which owns the fonts the tiles' text is drawn with.
struct TFramesAndResult {
    std::vector<TSpriteFrame> Frames;
    TRequestFailure Failure;
    QString FrameError;   // of the last frame, when it failed

    QString Hint() const { return Failure.IsFailure() ? Failure.UserHint() : FrameError; }
};

QComboBox* AddList(QWidget* parent, const QString& name, const char* const* items, int count, const QRect& geometry)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    for (int i = 0; i < count; ++i)
        list->addItem(QString::fromUtf8(items[i]));
    list->setCurrentIndex(0);
    list->setGeometry(geometry);
    return list;
}

void AddCaption(QWidget* parent, const QString& text, int x, int y, QWidget* buddy, int width = CaptionWidth)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, width, 22);
    label->setBuddy(buddy);
}

QToolButton* AddFlatButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setAutoRaise(true);
    button->setGeometry(geometry);
    return button;
}

QPushButton* AddButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

// A framed picture area: the frame and the label that shows the picture,
// filling it.
QLabel* AddPicture(QWidget* parent, const QString& frameName, const QString& pictureName, const QRect& geometry,
                   QFrame*& frame)
{
    frame = new QFrame(parent);
    frame->setObjectName(frameName);
    frame->setGeometry(geometry);
    auto* picture = new QLabel(frame);
    picture->setObjectName(pictureName);
    picture->setGeometry(0, 0, geometry.width(), geometry.height());
    return picture;
}

QColor ThemeColor(TColor c) { return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)); }

}

bool TfrmAISprte::Execute(QWidget* owner, TRgbaImage& Sheet)
{
    TfrmAISprte form(owner);
    if (form.exec() != QDialog::Accepted || form.SheetBmp().IsNull())
        return false;
    Sheet = form.SheetBmp();
    return true;
}

TfrmAISprte::TfrmAISprte(QWidget* owner) : QDialog(owner)
{
    ResetGenerator();
    setWindowTitle(Caption);
    setFixedSize(FormWidth, FormHeight);
    BuildControls();
    ApplyTheme();
    imgStrip->installEventFilter(this);
    connect(chkDefNeg, &QCheckBox::toggled, edtNeg, [this](bool ticked) { edtNeg->setEnabled(!ticked); });
    connect(btnPrev, &QToolButton::clicked, this, &TfrmAISprte::PrevFrame);
    connect(btnNext, &QToolButton::clicked, this, &TfrmAISprte::NextFrame);
    connect(btnZoomIn, &QToolButton::clicked, this, &TfrmAISprte::ZoomIn);
    connect(btnZoomOut, &QToolButton::clicked, this, &TfrmAISprte::ZoomOut);
    connect(btnZoom1, &QToolButton::clicked, this, &TfrmAISprte::ZoomReset);
    connect(btnGenerate, &QPushButton::clicked, this, &TfrmAISprte::GenerateSheet);
    connect(btnLoad, &QPushButton::clicked, this, &TfrmAISprte::LoadSheet);
    connect(btnSave, &QPushButton::clicked, this, &TfrmAISprte::SaveSprite);
    connect(btnOK, &QPushButton::clicked, this, &TfrmAISprte::Confirm);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(chkGrid, &QCheckBox::toggled, this, [this](bool on) {
        FShowGrid = on;
        DrawInspector();
    });
}

TfrmAISprte::~TfrmAISprte() = default;

void TfrmAISprte::ResetGenerator()
{
    FGen = std::make_shared<TAIImageGenerator>(ModelID);
    FEndpoint.ApplyTo(*FGen);
}

void TfrmAISprte::SetServiceEndpoint(const TAIServiceEndpoint& endpoint)
{
    FEndpoint = endpoint;
    FEndpoint.ApplyTo(*FGen);
}

void TfrmAISprte::BuildControls()
{
    int y = BuildInputRows(Margin);
    y = BuildStripAndNavigation(y);
    y = BuildInspectorAndZoom(y);
    BuildCommandRow(y + 6);
}

int TfrmAISprte::BuildInputRows(int y)
{
    cbStyle = AddList(this, QStringLiteral("cbStyle"), AISpriteSheet::CharacterTypes, AISpriteSheet::CharacterTypeCount,
                      QRect(InputX, y, InputWidth, 24));
    AddCaption(this, QStringLiteral("C&haracter type:"), Margin, y, cbStyle);
    y += RowStep;
    cbAction = AddList(this, QStringLiteral("cbAction"), AISpriteSheet::Actions, AISpriteSheet::ActionCount,
                       QRect(InputX, y, InputWidth, 24));
    AddCaption(this, QStringLiteral("&Action:"), Margin, y, cbAction);
    y += RowStep;
    cbDirection = AddList(this, QStringLiteral("cbDirection"), AISpriteSheet::Directions, AISpriteSheet::DirectionCount,
                          QRect(InputX, y, InputWidth, 24));
    AddCaption(this, QStringLiteral("&Direction:"), Margin, y, cbDirection);
    y += RowStep;
    edtExtra = new QLineEdit(this);
    edtExtra->setObjectName(QStringLiteral("edtExtra"));
    edtExtra->setGeometry(InputX, y, InputWidth, 24);
    AddCaption(this, QStringLiteral("E&xtra prompt:"), Margin, y, edtExtra);
    y += RowStep;
    edtNeg = new QLineEdit(this);
    edtNeg->setObjectName(QStringLiteral("edtNeg"));
    edtNeg->setGeometry(InputX, y, InputWidth, 24);
    edtNeg->setEnabled(false);
    AddCaption(this, QStringLiteral("Neg. &prompt:"), Margin, y, edtNeg);
    y += RowStep;
    chkDefNeg = new QCheckBox(QStringLiteral("Use default negative prompt (templated)"), this);
    chkDefNeg->setObjectName(QStringLiteral("chkDefNeg"));
    chkDefNeg->setGeometry(InputX, y, InputWidth, 22);
    chkDefNeg->setChecked(true);
    y += RowStep;
    cbRes = AddList(this, QStringLiteral("cbRes"), AISpriteSheet::Resolutions, AISpriteSheet::ResolutionCount,
                    QRect(InputX, y, 128, 24));
    AddCaption(this, QStringLiteral("&Resolution:"), Margin, y, cbRes);
    edtFrames = new QLineEdit(QString::number(AISpriteSheet::DefaultFrameCount), this);
    edtFrames->setObjectName(QStringLiteral("edtFrames"));
    edtFrames->setGeometry(InputX + 128 + 70, y, 50, 24);
    AddCaption(this, QStringLiteral("&Frames:"), InputX + 128 + 12, y, edtFrames, 56);
    y += RowStep;
    edtKey = new QLineEdit(this);
    edtKey->setObjectName(QStringLiteral("edtKey"));
    edtKey->setEchoMode(QLineEdit::Password);
    edtKey->setGeometry(InputX, y, 290, 24);
    AddCaption(this, QStringLiteral("API &Key:"), Margin, y, edtKey);
    chkSaveKey = new QCheckBox(QStringLiteral("&Save"), this);
    chkSaveKey->setObjectName(QStringLiteral("chkSaveKey"));
    chkSaveKey->setGeometry(InputX + 298, y, 80, 22);
    return y + RowStep + 4;
}

int TfrmAISprte::BuildStripAndNavigation(int y)
{
    auto* stripCaption = new QLabel(QStringLiteral("Sprite sheet strip  --  click or drag to inspect"), this);
    QFont bold = stripCaption->font();
    bold.setBold(true);
    stripCaption->setFont(bold);
    stripCaption->setGeometry(Margin, y, FullWidth, 20);
    y += 22;
    imgStrip = AddPicture(this, QStringLiteral("pnlStrip"), QStringLiteral("imgStrip"), QRect(Margin, y, FullWidth, 90),
                          pnlStrip);
    y += 90;
    btnPrev = AddFlatButton(this, QStringLiteral("btnPrev"), QStringLiteral("<"), QRect(Margin, y + 12, 28, 28));
    btnNext = AddFlatButton(this, QStringLiteral("btnNext"), QStringLiteral(">"), QRect(Margin + 32, y + 12, 28, 28));
    lblInfo = new QLabel(QStringLiteral("No frame generated yet."), this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setGeometry(Margin + 72, y + 15, FullWidth - 72, 22);
    return y + 52;
}

int TfrmAISprte::BuildInspectorAndZoom(int y)
{
    imgInsp = AddPicture(this, QStringLiteral("pnlInsp"), QStringLiteral("imgInsp"), QRect(Margin, y, FullWidth, 300),
                         pnlInsp);
    y += 300;
    btnZoomIn = AddFlatButton(this, QStringLiteral("btnZoomIn"), QStringLiteral("+"), QRect(Margin, y + 12, 50, 28));
    btnZoomOut = AddFlatButton(this, QStringLiteral("btnZoomOut"), QStringLiteral("-"), QRect(Margin + 54, y + 12, 50, 28));
    btnZoom1 = AddFlatButton(this, QStringLiteral("btnZoom1"), QStringLiteral("1:1"), QRect(Margin + 108, y + 12, 70, 28));
    // Why frames came back as failure tiles, when they did.
    lblServiceHint = new QLabel(this);
    lblServiceHint->setObjectName(QStringLiteral("lblServiceHint"));
    lblServiceHint->setGeometry(Margin + 190, y + 6, FullWidth - 190, 40);
    lblServiceHint->setWordWrap(true);
    return y + 52;
}

void TfrmAISprte::BuildCommandRow(int y)
{
    btnGenerate = AddButton(this, QStringLiteral("btnGenerate"), QStringLiteral("&Generate Sheet"), QRect(Margin, y, 100, 32));
    btnLoad = AddButton(this, QStringLiteral("btnLoad"), QStringLiteral("&Load..."), QRect(Margin + 106, y, 80, 32));
    btnSave = AddButton(this, QStringLiteral("btnSave"), QStringLiteral("Sa&ve Sprite..."), QRect(Margin + 192, y, 120, 32));
    btnSave->setEnabled(false);
    chkGrid = new QCheckBox(QStringLiteral("Pixel &grid"), this);
    chkGrid->setObjectName(QStringLiteral("chkGrid"));
    chkGrid->setGeometry(Margin + 322, y + 5, 90, 22);
    chkGrid->setChecked(true);
    btnOK = AddButton(this, QStringLiteral("btnOK"), QStringLiteral("OK"), QRect(FormWidth - Margin - 110 - 6 - 80, y, 80, 32));
    btnOK->setEnabled(false);
    btnCancel = AddButton(this, QStringLiteral("btnCancel"), QStringLiteral("Cancel"), QRect(FormWidth - Margin - 110, y, 110, 32));
}

void TfrmAISprte::ApplyTheme()
{
    TThemeManager::ApplyToForm(this);
    QPalette hint = lblServiceHint->palette();
    hint.setColor(QPalette::WindowText, ThemeColor(TThemeManager::Current().ColorWarning));
    lblServiceHint->setPalette(hint);
}

QString TfrmAISprte::Status() const
{
    const QString title = windowTitle();
    const QString prefix = AISpriteSheet::StatusCaption(QString());
    return title.startsWith(prefix) ? title.mid(prefix.size()) : QString();
}

void TfrmAISprte::SetStatus(const QString& message) { setWindowTitle(AISpriteSheet::StatusCaption(message)); }

AISpriteSheet::TSheetPrompt TfrmAISprte::CurrentPrompt() const
{
    return AISpriteSheet::BuildPrompt(cbStyle->currentText(), cbAction->currentText(), cbDirection->currentText(),
                                      edtExtra->text(), chkDefNeg->isChecked(), edtNeg->text());
}

TSpriteSheetInfo TfrmAISprte::SheetInfo() const
{
    return {FW, FH, FFrameCount, cbStyle->currentText(), cbAction->currentText(), cbDirection->currentText()};
}

void TfrmAISprte::DropSheet()
{
    FSheetBmp = TRgbaImage();
    FFrameCount = 0;
    FW = FH = 0;
    imgStrip->clear();
    imgInsp->clear();
    btnSave->setEnabled(false);
    btnOK->setEnabled(false);
}

void TfrmAISprte::SetSheet(const TRgbaImage& sheet, int frameCount)
{
    FSheetBmp = sheet;
    FFrameCount = frameCount;
    FW = sheet.Width / frameCount;
    FH = sheet.Height;
    FSelFrame = 0;
    FZoom = AISpriteSheet::DefaultZoom;
    DrawAll();
    btnSave->setEnabled(true);
    btnOK->setEnabled(true);
}

void TfrmAISprte::GenerateSheet()
{
    DropSheet();
    lblServiceHint->clear();
    SetStatus(QStringLiteral("Generating..."));
    const AISpriteSheet::TSheetPrompt prompt = CurrentPrompt();
    const int frameSize = AISpriteSheet::FrameSizeFor(cbRes->currentIndex());
    const int frameCount = AISpriteSheet::ClampFrameCount(edtFrames->text());
    edtFrames->setText(QString::number(frameCount));
    FGen->SetNegativePrompt(prompt.NegativePrompt);
    FGen->SetAPIKey(edtKey->text().trimmed());
    FGen->SetWidth(frameSize);
    FGen->SetHeight(frameSize);
    std::shared_ptr<TAIImageGenerator> generator = FGen;
    const QStringList prompts(QVector<QString>(frameCount, prompt.Prompt).toList());
    std::optional<TFramesAndResult> answer = AIBusyCall::Run<TFramesAndResult>(
        this, QStringLiteral("Waiting for the image server..."), [generator, prompts, frameCount] {
            std::vector<TSpriteFrame> frames = generator->RequestSpriteSheet(prompts, frameCount);
            const TImageGenResult& last = generator->LastResult();
            return TFramesAndResult{std::move(frames), last.Failure, last.Success ? QString() : last.ErrorMessage};
        });
    if (!answer) {
        // The abandoned request keeps the old generator busy.
        ResetGenerator();
        SetStatus(QStringLiteral("Generation cancelled."));
        return;
    }
    lblServiceHint->setText(answer->Hint());
    const TRgbaImage sheet = TAIImageGenerator::ComposeSheet(answer->Frames, frameCount, frameSize, frameSize);
    if (sheet.IsNull()) {
        SetStatus(QStringLiteral("Generation failed."));
        return;
    }
    SetSheet(sheet, frameCount);
    SetStatus(AISpriteSheet::DoneStatus(FFrameCount, FW, FH));
}

void TfrmAISprte::LoadSheet()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Load Sprite Sheet"), QString(),
        QStringLiteral("PNG Image (*.png);;BMP Image (*.bmp);;All Images (*.png *.bmp)"));
    if (!path.isEmpty())
        LoadFile(path);
}

bool TfrmAISprte::LoadFile(const QString& path)
{
    TRgbaImage sheet;
    QString error;
    if (!AISpriteLogic::LoadSheet(path, sheet, error)) {
        SetStatus(QStringLiteral("Failed to load ") + QFileInfo(path).fileName() + QStringLiteral(": ") + error);
        return false;
    }
    SetSheet(sheet, 1);
    SetStatus(QStringLiteral("Loaded: ") + QFileInfo(path).fileName());
    return true;
}

void TfrmAISprte::SaveSprite()
{
    if (FSheetBmp.IsNull())
        return;
    QFileDialog dialog(this, QStringLiteral("Save Sprite Sheet"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("BMP Image (*.bmp)"), QStringLiteral("FRM File (*.frm)"),
                           QStringLiteral("PNG Image (*.png)"), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("png"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        SaveToPath(dialog.selectedFiles().first());
}

TSpriteSaveOutcome TfrmAISprte::SaveToPath(const QString& path)
{
    if (FSheetBmp.IsNull())
        return {};
    const TSpriteSaveOutcome outcome = AISpriteLogic::SaveSpriteFiles(path, FSheetBmp, SheetInfo(), FSelFrame);
    SetStatus(outcome.Status);
    return outcome;
}

void TfrmAISprte::Confirm()
{
    if (!FSheetBmp.IsNull())
        accept();
}

void TfrmAISprte::SelectFrame(int frame)
{
    FSelFrame = frame;
    DrawAll();
}

void TfrmAISprte::PrevFrame()
{
    if (FFrameCount > 0)
        SelectFrame(AISpriteSheet::StepFrame(FSelFrame, -1, FFrameCount));
}

void TfrmAISprte::NextFrame()
{
    if (FFrameCount > 0)
        SelectFrame(AISpriteSheet::StepFrame(FSelFrame, +1, FFrameCount));
}

void TfrmAISprte::ZoomIn()
{
    FZoom = AISpriteSheet::ZoomIn(FZoom);
    DrawInspector();
}

void TfrmAISprte::ZoomOut()
{
    FZoom = AISpriteSheet::ZoomOut(FZoom);
    DrawInspector();
}

void TfrmAISprte::ZoomReset()
{
    FZoom = AISpriteSheet::DefaultZoom;
    DrawInspector();
}

void TfrmAISprte::StripMouseDown(int x)
{
    if (FFrameCount <= 0)
        return;
    FMouseDown = true;
    FMouseStart = x;
    SelectFrame(AISpriteSheet::FrameAtX(x, imgStrip->width(), FFrameCount));
}

void TfrmAISprte::StripMouseMove(int x)
{
    if (!FMouseDown || FFrameCount <= 0)
        return;
    if (std::abs(x - FMouseStart) <= imgStrip->width() / FFrameCount)
        return;
    FMouseStart = x;
    SelectFrame(AISpriteSheet::FrameAtX(x, imgStrip->width(), FFrameCount));
}

void TfrmAISprte::StripMouseUp() { FMouseDown = false; }

bool TfrmAISprte::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == imgStrip) {
        // Cast only once the type says it is a mouse event.
        const auto x = [event] { return int(static_cast<QMouseEvent*>(event)->position().x()); };
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                StripMouseDown(x());
            return true;
        case QEvent::MouseMove:
            StripMouseMove(x());
            return true;
        case QEvent::MouseButtonRelease:
            StripMouseUp();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmAISprte::DrawAll()
{
    DrawStrip();
    DrawInspector();
}

void TfrmAISprte::DrawStrip()
{
    if (FSheetBmp.IsNull() || FFrameCount <= 0)
        return;
    const int width = imgStrip->width();
    const int height = imgStrip->height();
    QPixmap strip(width, height);
    strip.fill(palette().color(QPalette::Button));
    QPainter painter(&strip);
    painter.drawImage(QRect(0, 0, width, height), AISpriteLogic::ToQImage(FSheetBmp));
    painter.setPen(QPen(QColor(128, 128, 128), 1, Qt::DotLine));
    for (int i = 1; i < FFrameCount; ++i) {
        const int x = AISpriteSheet::FrameBoundaryX(i, width, FFrameCount);
        painter.drawLine(x, 0, x, height);
    }
    const int x0 = AISpriteSheet::FrameBoundaryX(FSelFrame, width, FFrameCount);
    const int w = AISpriteSheet::FrameWidthOnStrip(width, FFrameCount);
    painter.fillRect(QRect(QPoint(x0 + 1, 0), QPoint(x0 + w - 1, height - 1)),
                     QBrush(palette().color(QPalette::Highlight), Qt::BDiagPattern));
    painter.end();
    imgStrip->setPixmap(strip);
}

void TfrmAISprte::DrawInspector()
{
    if (FSheetBmp.IsNull() || FFrameCount <= 0)
        return;
    FSelFrame = std::clamp(FSelFrame, 0, FFrameCount - 1);
    const TRgbaImage frame = FSheetBmp.Copy(FW * FSelFrame, 0, FW, FH);
    const int width = imgInsp->width();
    const int height = imgInsp->height();
    QPixmap insp(width, height);
    QPainter painter(&insp);
    for (int row = 0; row * 8 < height; ++row)
        for (int col = 0; col * 8 < width; ++col)
            painter.fillRect(col * 8, row * 8, 8, 8, (col + row) % 2 == 0 ? QColor(248, 248, 248) : QColor(232, 232, 232));
    const int zw = std::min(FW * FZoom / 100, width - 16);
    const int zh = std::min(FH * FZoom / 100, height - 16);
    const QRect target((width - zw) / 2, (height - zh) / 2, zw, zh);
    painter.drawImage(target, AISpriteLogic::ToQImage(frame));
    if (FShowGrid)
        DrawPixelGrid(painter, target);
    painter.end();
    imgInsp->setPixmap(insp);
    lblInfo->setText(AISpriteSheet::FrameInfo(FSelFrame, FFrameCount, FW, FH, FZoom));
}

// One line on every pixel boundary of the stretched frame, its outline
// included.
void TfrmAISprte::DrawPixelGrid(QPainter& painter, const QRect& target) const
{
    if (FW <= 0 || FH <= 0)
        return;
    painter.setPen(QPen(QColor(0, 0, 128), 1));
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i <= FW; ++i) {
        const int x = target.left() + int(qint64(i) * target.width() / FW);
        painter.drawLine(x, target.top(), x, target.top() + target.height());
    }
    for (int j = 0; j <= FH; ++j) {
        const int y = target.top() + int(qint64(j) * target.height() / FH);
        painter.drawLine(target.left(), y, target.left() + target.width(), y);
    }
}
