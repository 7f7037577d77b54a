#include "preview/PreviewRandom.h"

#include <QDateTime>

TSeededPreviewRandom::TSeededPreviewRandom()
    : FEngine(quint32(QDateTime::currentMSecsSinceEpoch() & 0xFFFFFFFFu))
{
}

int TSeededPreviewRandom::Below(int n)
{
    if (n <= 1)
        return 0;
    const quint32 range = quint32(n);
    // Largest multiple of range that fits: draws above it are redrawn.
    const quint64 span = quint64(std::mt19937::max()) + 1;
    const quint64 limit = span - span % range;
    quint64 draw;
    do {
        draw = FEngine();
    } while (draw >= limit);
    return int(draw % range);
}
