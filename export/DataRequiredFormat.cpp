#include "export/DataRequiredFormat.h"

TFormatResult TDataRequiredFormat::Write(TDialogueProject*, TFormatContext& context) const
{
    TFormatResult result;
    context.Log.Error(result, FError);
    return result;
}
