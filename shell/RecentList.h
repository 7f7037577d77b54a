#pragma once
// The File menu's recent projects: at most ten full paths, most recent
// first, kept per user as the values File0..File9 of the key
// Software\Tallowin\RecentProjects (the registry on Windows, the platform's
// per-user settings store elsewhere).

#include <QString>
#include <QStringList>

class QSettings;

class TRecentList {
public:
    static constexpr int MaxEntries = 10;

    const QStringList& Items() const { return FItems; }
    // Moves `path` to the top (exact comparison) and drops what falls past
    // the tenth entry.
    void Add(const QString& path);

    // Reads the File0..File9 values that exist, in that order.
    void Load(QSettings& store);
    void Save(QSettings& store) const;
    // The store above in the platform's native format.
    void LoadFromUserStore();
    void SaveToUserStore() const;

    // "&" + position from 1 + " " + file name without folder.
    static QString MenuCaption(int index, const QString& path);

private:
    QStringList FItems;
};
