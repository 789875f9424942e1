#include "app/app_setup.h"

#include <QFont>
#include <QStringList>

namespace sumiraku {

void setupFonts()
{
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
}

} // namespace sumiraku
