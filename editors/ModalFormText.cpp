#include "editors/ModalFormText.h"

namespace ModalFormText {

QString KeepLineEnds(const QString& edited, const QString& original)
{
    if (!original.contains(QStringLiteral("\r\n")))
        return edited;
    QString lf = edited;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return lf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

}
