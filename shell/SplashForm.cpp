#include "shell/SplashForm.h"

#include "ai/PngCodec.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

namespace {

QLabel* TextLine(QWidget* parent, const QString& text, int height, const QColor& color, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setFixedHeight(height);
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
    // Drawn in their own colours whatever the widget style says.
    label->setStyleSheet(QStringLiteral("color: %1; background: black;").arg(color.name()));
    return label;
}

// Keeps the picture proportional and centred as the label is resized.
class TImageBox : public QLabel {
public:
    TImageBox(const QImage& image, QWidget* parent) : QLabel(parent), FImage(image)
    {
        setAlignment(Qt::AlignCenter);
        setMinimumSize(1, 1);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        if (!FImage.isNull())
            setPixmap(QPixmap::fromImage(FImage.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }

private:
    QImage FImage;
};

}

QString TSplashForm::ImagePath()
{
    for (const QString& candidate : { QStringLiteral("splash.png"), QStringLiteral("../splash.png") })
        if (QFileInfo(candidate).isFile())
            return candidate;
    return QString();
}

TRgbaImage TSplashForm::LoadImage()
{
    TRgbaImage image;
    const QString path = ImagePath();
    if (!path.isEmpty() && !PngCodec::LoadFromFile(path, image))
        image = TRgbaImage();
    return image;
}

TSplashForm::TSplashForm(const TRgbaImage& image) : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(500, 350);
    setStyleSheet(QStringLiteral("background: black;"));
    QImage picture;
    if (!image.IsNull())
        picture = QImage(reinterpret_cast<const uchar*>(image.Pixels.constData()), image.Width, image.Height,
                         image.BytesPerLine(), QImage::Format_RGBA8888)
                      .copy();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* box = new TImageBox(picture, this);
    box->setObjectName(QStringLiteral("imgSplash"));
    layout->addWidget(box, 1);
    layout->addWidget(TextLine(this, QStringLiteral("Tallowin v1.0.8"), 30, Qt::white, true));
    layout->addWidget(TextLine(this, QStringLiteral("Dialogue authoring for classic role-playing games"), 20,
                               QColor(0xC0, 0xC0, 0xC0), false));
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TSplashForm::ShowSplash()
{
    TSplashForm splash(LoadImage());
    splash.show();
    splash.repaint();
    QApplication::processEvents();
    QThread::msleep(DisplayMs);
}
