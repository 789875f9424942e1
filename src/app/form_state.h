#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// The variables that the window's event procedures share, with the classic
// widths: Integer is 16 bits, Long 32. Every counter goes through the checked
// arithmetic of platform/numbers.h, so passing 32,767 is an overflow error.
struct FormState {
    // settings in force
    QString HelpFile;
    qint16 PlayByou = 0;
    qint16 AutoSave = 0;
    QString HideMode;

    // game phase
    bool StartWait = false;
    qint16 StartCount = 0;
    bool Playing = false;

    // the game being played or last played: its length and mode as they were
    // when it began (the settings may change meanwhile), and whether its
    // result is already in the history
    qint16 GameByou = 0;
    QString GameMode;
    bool Saved = false;

    // game clock, in whole seconds of the steady clock: neither midnight nor a
    // step of the wall clock moves it
    qint32 JikanNow = 0;
    qint32 JikanEnd = 0;
    qint16 JikanNokori = 0;
    qint16 JikanBarWidth = 0;

    // counters of the current game
    qint16 OkCount = 0;
    qint16 NgCount = 0;
    qint16 MojiCount = 0;

    // the question
    QString Mondai;
    std::array<QString, 5> Moji;        // 1..4 used
    qint16 HideCount = 0;
    std::array<qint16, 4> HidePos{};    // 1..3 used
    std::array<bool, 5> Mado{};         // 1..4 used

    // the dictionary in memory: Jisyo[0] stays empty, entries at 1..JisyoCount;
    // no elements at all before the first accepted start
    QStringList Jisyo;
    qint16 JisyoCount = 0;
};
