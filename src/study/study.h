#pragma once

// What helps a player learn, beyond the drill: each idiom's reading and
// meaning, a record of the idioms missed or revealed (苦手.txt) that the
// player can look through and have asked more often, and a chart of the
// history. Reached only from the
// window's context menu; a player who never opens it sees the classic game,
// except that the record is kept.

#include "files/study_files.h"
#include "platform/services.h"

#include <QObject>
#include <QDialog>
#include <QPointer>
#include <functional>
#include <optional>

class QMenu;
class QWidget;

namespace sumiraku {

class MissesWindow;

class Study : public QObject {
    Q_OBJECT
public:
    Study(QWidget *owner, const Platform &platform);
    ~Study() override;

    // During a game, the idiom asked.
    void missed(const QString &idiom);
    void revealed(const QString &idiom);
    void answered(const QString &idiom);
    // Time is up: the game's tallies go into 苦手.txt in one replace. A failure
    // warns once and keeps them for the next game's try.
    void gameEnded(const QDate &today);

    // The reading and meaning, read from 読みと意味.txt on first use; or why
    // there are none.
    QString noteFor(const QString &idiom);

    bool drawMissedMore() const;
    void setDrawMissedMore(bool on);
    // A recorded idiom of the dictionary, weighted, or empty.
    QString pickMissed(const QStringList &dictionary, double r);

    // Makes the chart window; by default from the module beside the program.
    std::function<QDialog *(QWidget *owner)> makeChart;

    void fillMenu(QMenu *menu);
    void openMisses();
    void openChart();

private:
    std::optional<MissRecord> readRecord(QString *problem) const;
    bool writeRecord(const MissRecord &record, QString *problem) const;
    void tally(const QString &idiom, int MissTally::*count);
    void warn(const QString &text);

    QWidget *owner_;
    Platform platform_;
    MissRecord game_;
    bool warned_ = false;
    bool drawMissedMore_ = false;
    bool notesRead_ = false;
    QHash<QString, IdiomNote> notes_;
    QString notesProblem_;
    QPointer<MissesWindow> misses_;
    QPointer<QDialog> chart_;

    friend class MissesWindow;
};

} // namespace sumiraku
