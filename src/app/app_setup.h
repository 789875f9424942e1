#pragma once

#include <QString>

namespace sumiraku {

// Fonts for the design's face "ＭＳ Ｐゴシック": where it is missing, IPAPGothic
// (same metrics) and then Noto Sans CJK JP, so the layout holds and kanji keep
// Japanese glyph shapes. Call once, before any widget exists.
void setupFonts();

// The face the window's controls ask for: the design's where it is installed,
// else the first of its stand-ins that is. A face asked for by a name that is
// not installed costs Qt a search of the system's fonts for every size and
// script before the stand-in is found.
QString designFontFamily();

} // namespace sumiraku
