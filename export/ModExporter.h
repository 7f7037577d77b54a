#pragma once
// Skeleton files of a game mod: CITY.TXT, WORLD.TXT, a map header and a
// one-frame sprite file, and the mod folder holding the first two. Every
// operation returns false and appends "ERROR exporting ..." to its own log
// when it fails; nothing is raised. A failed write leaves the previous file.

#include "export/WorldMapTypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class TDialogueProject;

class TModExporter {
public:
    explicit TModExporter(TDialogueProject* project);
    TModExporter(const TModExporter&) = delete;
    TModExporter& operator=(const TModExporter&) = delete;

    TDialogueProject* Project() const { return FProject; }
    TWorldMapProject& WorldMap() { return FWorldMap; }
    const TWorldMapProject& WorldMap() const { return FWorldMap; }
    // Accumulates over the exporter's life.
    const QStringList& Log() const { return FLog; }

    bool ExportCITYTXT(const QString& outputPath);
    bool ExportWORLDTXT(const QString& outputPath);
    bool ExportMAP(const QString& outputPath, const TMapData& mapData);
    bool ExportFRM(const QString& outputPath, int width, int height, const QByteArray& frameData);
    bool ExportMod(const QString& modPath);

    // The WORLD.TXT written when the world text is empty or blank.
    static QString DefaultWorldText();

private:
    bool WriteFile(const QString& what, const QString& path, const QByteArray& bytes);
    bool Fail(const QString& what, const QString& message);

    TDialogueProject* FProject;   // not owned; may be null
    TWorldMapProject FWorldMap;
    QStringList FLog;
};
