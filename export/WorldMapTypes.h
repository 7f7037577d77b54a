#pragma once
// The world-map side of a mod: the areas CITY.TXT lists, the world text,
// and the data a map file header is written from.

#include "model/DialogueTypes.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>
#include <vector>

enum TWorldLocationSize : std::uint8_t { lsSmall, lsMedium, lsLarge };
enum TStartState : std::uint8_t { ssOff, ssOn };
enum TLockState : std::uint8_t { lsOff, lsOn };
enum TMapSize : std::uint8_t { msSmall, msMedium, msLarge };

struct TAreaEntrance {
    TStartState StartState = ssOff;
    qint32 XPos = 0;
    qint32 YPos = 0;
    QString MapIndex;
    qint32 Elevation = 0;
    qint32 TileNum = 0;
    qint32 Orientation = 0;
};

class TArea {
public:
    explicit TArea(qint32 aID);

    qint32 ID() const { return FID; }

    QVector<TAreaEntrance>& Entrances() { return FEntrances; }
    const QVector<TAreaEntrance>& Entrances() const { return FEntrances; }

    // The area's block of CITY.TXT, every line ending in CR LF.
    QString ToCITYTXT() const;

    TLW_PROPERTY(QString, Name);
    TLW_VALUE_PROPERTY(qint32, WorldPosX, 0);
    TLW_VALUE_PROPERTY(qint32, WorldPosY, 0);
    TLW_VALUE_PROPERTY(TWorldLocationSize, Size, lsMedium);
    TLW_VALUE_PROPERTY(TStartState, StartState, ssOff);
    TLW_VALUE_PROPERTY(TLockState, LockState, lsOff);
    TLW_VALUE_PROPERTY(qint32, EntranceArtIdx, -1);
    TLW_VALUE_PROPERTY(qint32, LabelArtIdx, -1);

private:
    qint32 FID;
    QVector<TAreaEntrance> FEntrances;
};

using TAreaList = std::vector<std::unique_ptr<TArea>>;

class TWorldMapProject {
public:
    TAreaList& Areas() { return FAreas; }
    const TAreaList& Areas() const { return FAreas; }
    QStringList& MapScripts() { return FMapScripts; }
    const QStringList& MapScripts() const { return FMapScripts; }

    TArea* AddArea(qint32 aID);
    // A new area numbered after the ones before it, started on.
    TArea* GenerateDefaultArea(const QString& aName, qint32 aX, qint32 aY, TWorldLocationSize aSize);

    // Each area's block followed by two empty lines; empty without areas.
    QString ToCITYTXT() const;
    QString ToWORLDTXT() const { return FWorldText; }

    TLW_PROPERTY(QString, WorldText);

private:
    TAreaList FAreas;
    QStringList FMapScripts;
};

struct TMapHeader {
    qint32 Version = 37;
    QString MapID;
    QString Name;
    QString ScriptFile;
    TMapSize Size = msMedium;
    qint32 NumTiles = 0;
    qint32 ElevationCount = 1;
};

struct TMapScript {
    QString EventType;
    QString Code;
};

class TMapData {
public:
    TMapHeader& Header() { return FHeader; }
    const TMapHeader& Header() const { return FHeader; }
    void SetHeader(const TMapHeader& value) { FHeader = value; }
    QVector<TMapScript>& Scripts() { return FScripts; }
    const QVector<TMapScript>& Scripts() const { return FScripts; }
    void SetScripts(const QVector<TMapScript>& value) { FScripts = value; }

    TLW_VALUE_PROPERTY(qint32, PlayerStartX, 0);
    TLW_VALUE_PROPERTY(qint32, PlayerStartY, 0);
    TLW_VALUE_PROPERTY(qint32, PlayerStartElevation, 0);

private:
    TMapHeader FHeader;
    QVector<TMapScript> FScripts;
};
