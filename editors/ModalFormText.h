#pragma once
// Multi-line boxes show line breaks as LF only; text stored from them gets
// back the CR LF breaks the original had, so opening and confirming an
// editor never rewrites a text's line ends.

#include <QString>

namespace ModalFormText {

// `edited` (LF breaks, as a text box returns it) with CR LF breaks when
// `original` used them.
QString KeepLineEnds(const QString& edited, const QString& original);

}
