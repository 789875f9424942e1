#pragma once

// The names of the three data files, looked up in the current folder.

#include <QStringView>

namespace sumiraku {

inline constexpr QStringView kSettingsFile = u"設定.txt";
inline constexpr QStringView kDictionaryFile = u"辞書.txt";
inline constexpr QStringView kHistoryFile = u"履歴.txt";

} // namespace sumiraku
