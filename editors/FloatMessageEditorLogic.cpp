#include "editors/FloatMessageEditorLogic.h"

#include <algorithm>
#include <cmath>

namespace FloatMessageRules {

QString AllCategories() { return QStringLiteral("(All)"); }
QString DefaultCategory() { return QStringLiteral("Ambient"); }

namespace {

bool ContainsIgnoringCase(const QStringList& list, const QString& s)
{
    return list.contains(s, Qt::CaseInsensitive);
}

QStringList SortedUnique(QStringList items)
{
    QStringList unique;
    for (const QString& s : items)
        if (!ContainsIgnoringCase(unique, s))
            unique << s;
    std::stable_sort(unique.begin(), unique.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return unique;
}

QStringList Categories(const TFloatMessageList& messages)
{
    QStringList all;
    for (const auto& m : messages)
        if (!m->Category.isEmpty())
            all << m->Category;
    return all;
}

}

QStringList FilterEntries(const TFloatMessageList& messages)
{
    QStringList sorted = SortedUnique(QStringList{ AllCategories() } + Categories(messages));
    sorted.removeIf([](const QString& s) { return QString::compare(s, AllCategories(), Qt::CaseInsensitive) == 0; });
    sorted.prepend(AllCategories());
    return sorted;
}

QStringList CategoryEntries(const TFloatMessageList& messages)
{
    QStringList entries = FilterEntries(messages);
    entries.removeFirst();
    for (const char* stock : { "Ambient", "Combat Taunt", "Greeting", "Random" })
        if (!ContainsIgnoringCase(entries, QString::fromLatin1(stock)))
            entries << QString::fromLatin1(stock);
    return entries;
}

QString ListLine(const TFloatMessage& message)
{
    const QString category = message.Category.isEmpty() ? QStringLiteral("No Cat") : message.Category;
    const QString text = message.Text.trimmed().isEmpty() ? QStringLiteral("(empty)") : message.Text.left(50);
    return QLatin1Char('[') + category + QStringLiteral("] P:") + QString::number(message.Priority)
        + QStringLiteral(" W:") + QString::number(message.Weight) + QStringLiteral("  ") + text;
}

QVector<TFloatMessage*> Filtered(const TFloatMessageList& messages, const QString& filter)
{
    const bool all = filter.isEmpty() || filter == AllCategories();
    QVector<TFloatMessage*> shown;
    for (const auto& m : messages)
        if (all || m->Category == filter)
            shown << m.get();
    return shown;
}

float ParseDuration(const QString& text, const QLocale& locale)
{
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    // Infinite or NaN durations could not be written to the project file.
    if (!ok || !std::isfinite(value) || !std::isfinite(float(value)))
        return 3.0f;
    return float(value);
}

QString FormatDuration(float seconds, const QLocale& locale)
{
    return locale.toString(double(seconds), 'f', 1);
}

}

TFloatMessageDetails TFloatMessageDetails::From(const TFloatMessage& message, const QLocale& locale)
{
    TFloatMessageDetails d;
    d.Text = message.Text;
    d.Category = message.Category;
    d.Priority = message.Priority;
    d.Weight = message.Weight;
    d.Duration = FloatMessageRules::FormatDuration(message.TimedDuration, locale);
    d.Condition = message.Condition;
    d.LocaleKey = message.LocaleKey;
    d.IsAmbient = message.IsAmbient;
    d.IsCombatTaunt = message.IsCombatTaunt;
    d.IsContextSensitive = message.IsContextSensitive;
    return d;
}

void TFloatMessageDetails::StoreInto(TFloatMessage& message, const QLocale& locale) const
{
    message.Text = Text;
    message.Category = Category;
    message.Priority = Priority;
    message.Weight = Weight;
    message.TimedDuration = FloatMessageRules::ParseDuration(Duration, locale);
    message.Condition = Condition;
    message.LocaleKey = LocaleKey;
    message.IsAmbient = IsAmbient;
    message.IsCombatTaunt = IsCombatTaunt;
    message.IsContextSensitive = IsContextSensitive;
}

namespace FloatMessageOps {

TFloatMessage* Add(TDialogueProject& project, const QString& text, const QString& filter)
{
    auto message = std::make_unique<TFloatMessage>();
    message->Text = text;
    const bool all = filter.isEmpty() || filter == FloatMessageRules::AllCategories();
    message->Category = all ? FloatMessageRules::DefaultCategory() : filter;
    message->Priority = 5;
    message->Weight = 1;
    message->IsAmbient = true;
    project.FloatMessages().push_back(std::move(message));
    project.SetModified(true);
    return project.FloatMessages().back().get();
}

bool Remove(TDialogueProject& project, const TFloatMessage* message)
{
    auto& list = project.FloatMessages();
    const auto it = std::find_if(list.begin(), list.end(), [message](const auto& m) { return m.get() == message; });
    if (it == list.end())
        return false;
    list.erase(it);
    project.SetModified(true);
    return true;
}

TFloatMessage* Duplicate(TDialogueProject& project, const TFloatMessage& source)
{
    auto copy = std::make_unique<TFloatMessage>();
    copy->Text = source.Text + QStringLiteral(" (copy)");
    copy->Category = source.Category;
    copy->Priority = source.Priority;
    copy->Weight = source.Weight;
    copy->TimedDuration = source.TimedDuration;
    copy->Condition = source.Condition;
    copy->IsAmbient = source.IsAmbient;
    copy->IsCombatTaunt = source.IsCombatTaunt;
    copy->IsContextSensitive = source.IsContextSensitive;
    project.FloatMessages().push_back(std::move(copy));
    project.SetModified(true);
    return project.FloatMessages().back().get();
}

}
