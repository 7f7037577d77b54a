#include "shell/RecentList.h"

#include "export/ExportFiles.h"

#include <QSettings>

#include <memory>

namespace {

QString ValueName(int index) { return QStringLiteral("File%1").arg(index); }

// On Windows this is HKEY_CURRENT_USER\Software\Tallowin\RecentProjects.
std::unique_ptr<QSettings> UserStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tallowin"),
                                       QStringLiteral("RecentProjects"));
}

}

void TRecentList::Add(const QString& path)
{
    FItems.removeAll(path);
    FItems.prepend(path);
    while (FItems.size() > MaxEntries)
        FItems.removeLast();
}

void TRecentList::Load(QSettings& store)
{
    FItems.clear();
    for (int i = 0; i < MaxEntries; ++i) {
        const QVariant value = store.value(ValueName(i));
        if (value.isValid())
            FItems.append(value.toString());
    }
}

void TRecentList::Save(QSettings& store) const
{
    for (int i = 0; i < FItems.size() && i < MaxEntries; ++i)
        store.setValue(ValueName(i), FItems[i]);
    store.sync();
}

void TRecentList::LoadFromUserStore()
{
    Load(*UserStore());
}

void TRecentList::SaveToUserStore() const
{
    Save(*UserStore());
}

QString TRecentList::MenuCaption(int index, const QString& path)
{
    return QStringLiteral("&%1 ").arg(index + 1) + ExportFiles::LastComponent(path);
}
