#pragma once
// The splash window shown for a moment while the program starts.

#include "ai/RgbaImage.h"

#include <QWidget>

class TSplashForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int DisplayMs = 1500;

    // Shows the splash, waits and destroys it.
    static void ShowSplash();

    // "splash.png" in the working folder, else "../splash.png"; empty when
    // neither exists.
    static QString ImagePath();
    // The image, or a null image when there is none or it cannot be read.
    static TRgbaImage LoadImage();

    explicit TSplashForm(const TRgbaImage& image);
};
