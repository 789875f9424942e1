#include "study/study.h"

#include "files/data_files.h"
#include "study/misses_window.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QMenu>
#include <QSaveFile>

namespace sumiraku {

namespace {

const QString kDrawMissedMoreKey = QStringLiteral("study/drawMissedMore");

QDialog *chartFromModule(QWidget *owner, QString *problem)
{
    QLibrary module(QCoreApplication::applicationDirPath() + QStringLiteral("/sumiraku_chart"));
    using Make = QDialog *(*)(QWidget *);
    if (const auto make = reinterpret_cast<Make>(module.resolve("sumirakuChartWindow")))
        return make(owner);
    *problem = module.errorString();
    return nullptr;
}

} // namespace

Study::Study(QWidget *owner, const Platform &platform) : QObject(owner), owner_(owner), platform_(platform)
{
    if (platform_.preferences)
        drawMissedMore_ = platform_.preferences->value(kDrawMissedMoreKey, false).toBool();
}

Study::~Study() = default;

void Study::tally(const QString &idiom, int MissTally::*count)
{
    if (!idiom.isEmpty())
        ++(game_[idiom].*count);
}

void Study::missed(const QString &idiom) { tally(idiom, &MissTally::misses); }
void Study::revealed(const QString &idiom) { tally(idiom, &MissTally::reveals); }
void Study::answered(const QString &idiom) { tally(idiom, &MissTally::rights); }

std::optional<MissRecord> Study::readRecord(QString *problem) const
{
    const QString name = kMissesFile.toString();
    const auto bytes = readStudyFile(name, true, problem);
    return bytes ? parseMisses(*bytes, name, problem) : std::nullopt;
}

bool Study::writeRecord(const MissRecord &record, QString *problem) const
{
    QSaveFile file(kMissesFile.toString());
    const QByteArray bytes = formatMisses(record);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *problem = QStringLiteral("%1 に書き込めません（%2）。").arg(kMissesFile, file.errorString());
    return false;
}

void Study::warn(const QString &text)
{
    platform_.messages->show(owner_, text, QStringLiteral("苦手な熟語"), MsgButtons::OkOnly, MsgIcon::Exclamation);
}

void Study::gameEnded(const QDate &today)
{
    if (game_.isEmpty())
        return;
    QString problem;
    std::optional<MissRecord> record = readRecord(&problem);
    // A record that cannot be read is never written over: it is the player's.
    if (record && writeRecord(mergeGame(*record, game_, today), &problem)) {
        game_.clear();
        warned_ = false;
        if (misses_)
            misses_->refresh();
        return;
    }
    if (!warned_)
        warn(QStringLiteral("苦手な熟語の記録を更新できませんでした。次のゲームの後にもう一度試みます。\n\n%1").arg(problem));
    warned_ = true;
}

QString Study::noteFor(const QString &idiom)
{
    if (!notesRead_) {
        notesRead_ = true;
        const QString name = kNotesFile.toString();
        if (const auto bytes = readStudyFile(name, false, &notesProblem_)) {
            if (auto notes = parseNotes(*bytes, name, &notesProblem_))
                notes_ = std::move(*notes);
        }
    }
    if (!notesProblem_.isEmpty())
        return notesProblem_;
    const auto note = notes_.constFind(idiom);
    if (note == notes_.cend())
        return QStringLiteral("%1 には %2 の読みと意味がありません。").arg(kNotesFile, idiom);
    return QStringLiteral("%1\n%2").arg(note->reading, note->meaning);
}

bool Study::drawMissedMore() const
{
    return drawMissedMore_;
}

void Study::setDrawMissedMore(bool on)
{
    drawMissedMore_ = on;
    if (platform_.preferences)
        platform_.preferences->setValue(kDrawMissedMoreKey, on);
}

QString Study::pickMissed(const QStringList &dictionary, double r)
{
    QString problem;
    const std::optional<MissRecord> record = readRecord(&problem);
    return record ? sumiraku::pickMissed(*record, dictionary, r) : QString();
}

void Study::fillMenu(QMenu *menu)
{
    menu->addAction(QStringLiteral("苦手な熟語…"), this, &Study::openMisses);
    QAction *more = menu->addAction(QStringLiteral("苦手な熟語を多めに出題"));
    more->setCheckable(true);
    more->setChecked(drawMissedMore_);
    connect(more, &QAction::toggled, this, &Study::setDrawMissedMore);
    menu->addAction(QStringLiteral("成績グラフ…"), this, &Study::openChart);
}

void Study::openChart()
{
    if (!chart_) {
        QString problem;
        chart_ = makeChart ? makeChart(owner_) : chartFromModule(owner_, &problem);
        if (!chart_) {
            platform_.messages->show(owner_, QStringLiteral("成績グラフを開けません。\n\n%1").arg(problem),
                                     QStringLiteral("成績グラフ"), MsgButtons::OkOnly, MsgIcon::Exclamation);
            return;
        }
    }
    chart_->show();
    chart_->raise();
    chart_->activateWindow();
}


void Study::openMisses()
{
    if (!misses_)
        misses_ = new MissesWindow(this, owner_);
    misses_->refresh();
    misses_->show();
    misses_->raise();
    misses_->activateWindow();
}

} // namespace sumiraku
