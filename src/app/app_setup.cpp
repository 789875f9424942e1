#include "app/app_setup.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace sumiraku {

namespace {

const QString kDesignFace = QStringLiteral("ＭＳ Ｐゴシック");

QStringList standIns()
{
    return {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
}

} // namespace

void setupFonts()
{
    QFont::insertSubstitutions(kDesignFace, standIns());
}

QString designFontFamily()
{
    static const QString face = [] {
        if (QFontDatabase::hasFamily(kDesignFace))
            return kDesignFace;
        for (const QString &standIn : standIns()) {
            if (QFontDatabase::hasFamily(standIn))
                return standIn;
        }
        return kDesignFace;   // Qt's own choice, through the substitutions
    }();
    return face;
}

} // namespace sumiraku
