#pragma once

namespace sumiraku {

// Fonts for the design's face "ＭＳ Ｐゴシック": where it is missing, IPAPGothic
// (same metrics) and then Noto Sans CJK JP, so the layout holds and kanji keep
// Japanese glyph shapes. Call once, before any widget exists.
void setupFonts();

} // namespace sumiraku
