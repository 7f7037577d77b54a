#include "interchange/DialogueFormat.h"

#include "model/DialogueTypes.h"

TFormatResult TDialogueFormat::Read(const QString&, std::unique_ptr<TDialogueProject>&) const
{
    TFormatResult result;
    result.Errors << QStringLiteral("%1 files cannot be read").arg(Name());
    return result;
}

TFormatResult TDialogueFormat::Write(TDialogueProject*, TFormatContext& context) const
{
    TFormatResult result;
    context.Log.Error(result, QStringLiteral("%1 cannot be written").arg(Name()));
    return result;
}

TReadOutcome TDialogueFormat::ReadWith(const QString& path, const TReadOptions&,
                                       std::unique_ptr<TDialogueProject>& project) const
{
    TReadOutcome outcome;
    outcome.Result = Read(path, project);
    return outcome;
}
