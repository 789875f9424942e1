#pragma once

// The names of the data files, looked up in the current folder: the three
// classic ones, and the two of the study features (UTF-8, ours alone).

#include <QStringView>

namespace sumiraku {

inline constexpr QStringView kSettingsFile = u"設定.txt";
inline constexpr QStringView kDictionaryFile = u"辞書.txt";
inline constexpr QStringView kHistoryFile = u"履歴.txt";
inline constexpr QStringView kNotesFile = u"読みと意味.txt";
inline constexpr QStringView kMissesFile = u"苦手.txt";

} // namespace sumiraku
