#include "export/WorldMapTypes.h"

namespace {

const char* const LocationSizeNames[] = {"Small", "Medium", "Large"};

QString OnOff(bool on)
{
    return on ? QStringLiteral("On") : QStringLiteral("Off");
}

QString SizeName(TWorldLocationSize size)
{
    return QString::fromLatin1(LocationSizeNames[size <= lsLarge ? size : lsMedium]);
}

void AddLine(QString& text, const QString& line)
{
    text += line;
    text += QLatin1String("\r\n");
}

} // namespace

TArea::TArea(qint32 aID) : FName(QStringLiteral("Area %1").arg(aID)), FID(aID) {}

QString TArea::ToCITYTXT() const
{
    QString text;
    AddLine(text, QStringLiteral("[Area %1]").arg(FID));
    AddLine(text, QStringLiteral("area_name=") + FName);
    AddLine(text, QStringLiteral("world_pos=%1,%2").arg(FWorldPosX).arg(FWorldPosY));
    AddLine(text, QStringLiteral("start_state=") + OnOff(FStartState == ssOn));
    AddLine(text, QStringLiteral("size=") + SizeName(FSize));
    if (FLockState == lsOn)
        AddLine(text, QStringLiteral("lock_state=On"));
    AddLine(text, QStringLiteral("townmap_art_idx=%1").arg(FEntranceArtIdx));
    AddLine(text, QStringLiteral("townmap_label_art=%1").arg(FLabelArtIdx));
    for (int i = 0; i < FEntrances.size(); ++i) {
        const TAreaEntrance& e = FEntrances[i];
        // Joined piece by piece: a map index may itself contain "%1".
        const QChar comma = QLatin1Char(',');
        AddLine(text, QStringLiteral("entrance_") + QString::number(i) + QLatin1Char('=')
                          + OnOff(e.StartState == ssOn) + comma + QString::number(e.XPos) + comma
                          + QString::number(e.YPos) + comma + e.MapIndex + comma
                          + QString::number(e.Elevation) + comma + QString::number(e.TileNum) + comma
                          + QString::number(e.Orientation));
    }
    return text;
}

TArea* TWorldMapProject::AddArea(qint32 aID)
{
    FAreas.push_back(std::make_unique<TArea>(aID));
    return FAreas.back().get();
}

TArea* TWorldMapProject::GenerateDefaultArea(const QString& aName, qint32 aX, qint32 aY,
                                             TWorldLocationSize aSize)
{
    TArea* area = AddArea(qint32(FAreas.size()));
    area->SetName(aName);
    area->SetWorldPosX(aX);
    area->SetWorldPosY(aY);
    area->SetSize(aSize);
    area->SetStartState(ssOn);
    area->SetEntranceArtIdx(-1);
    area->SetLabelArtIdx(-1);
    return area;
}

QString TWorldMapProject::ToCITYTXT() const
{
    QString text;
    for (const auto& area : FAreas) {
        text += area->ToCITYTXT();
        text += QLatin1String("\r\n\r\n");
    }
    return text;
}
