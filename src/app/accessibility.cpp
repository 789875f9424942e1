#include "app/accessibility.h"

#include "app/frmMain.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QFocusFrame>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QTableView>
#include <QToolButton>
#include <algorithm>

namespace sumiraku {

namespace {

// Widgets whose accessible name or value is read from the game as it goes.
enum class Kind { Cell, Stat, Stats, TimeLeft };

struct Live {
    Kind kind;
    frmMain *form;
    int index = 0;        // cell number
    QString caption;      // what a statistic counts
};

QHash<const QObject *, Live> &liveWidgets()
{
    static QHash<const QObject *, Live> widgets;
    return widgets;
}

QString statName(const QString &caption, const QLabel &label)
{
    return label.text().isEmpty() ? caption : QStringLiteral("%1: %2").arg(caption, label.text());
}

int secondsLeft(const frmMain &form)
{
    return secondsLeftOnBar(form.shpJikanK->widthTwips(), form.state.PlayByou,
                            form.state.JikanBarWidth);
}

class LiveAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    LiveAccessible(QWidget *widget, const Live &live)
        : QAccessibleWidget(widget, roleOf(live.kind)), live_(live)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return name();
        if (t == QAccessible::Value && live_.kind == Kind::TimeLeft)
            return QStringLiteral("残り %1 秒").arg(secondsLeft(*live_.form));
        if (t == QAccessible::Description && live_.kind == Kind::Stats) {
            QStringList parts;
            for (QLabel *label : {live_.form->lblOk, live_.form->lblNg, live_.form->lblMoji_T,
                                        live_.form->lblRitu, live_.form->lblByou})
                parts << QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
            return parts.join(u'、');
        }
        return QAccessibleWidget::text(t);
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface && live_.kind == Kind::TimeLeft)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QVariant currentValue() const override { return secondsLeft(*live_.form); }
    void setCurrentValue(const QVariant &) override {}   // the clock alone moves it
    QVariant maximumValue() const override { return std::max<int>(live_.form->state.PlayByou, 0); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    static QAccessible::Role roleOf(Kind kind)
    {
        switch (kind) {
        case Kind::Stats:
            return QAccessible::Grouping;
        case Kind::TimeLeft:
            return QAccessible::ProgressBar;
        default:
            return QAccessible::StaticText;
        }
    }

    QString name() const
    {
        switch (live_.kind) {
        case Kind::Cell:
            return cellAccessibleName(live_.index, *static_cast<const ClickLabel *>(widget()),
                                      live_.form->buttonFace());
        case Kind::Stat:
            return statName(live_.caption, *static_cast<const QLabel *>(widget()));
        default:
            return live_.caption;
        }
    }

    Live live_;
};

QAccessibleInterface *liveFactory(const QString &, QObject *object)
{
    const auto it = liveWidgets().constFind(object);
    if (it == liveWidgets().constEnd())
        return nullptr;
    return new LiveAccessible(static_cast<QWidget *>(object), *it);
}

void makeLive(QWidget *widget, const Live &live)
{
    static const bool installed = [] {
        QAccessible::installFactory(liveFactory);
        return true;
    }();
    Q_UNUSED(installed);
    liveWidgets().insert(widget, live);
    QObject::connect(widget, &QObject::destroyed, [widget] { liveWidgets().remove(widget); });
    // With a screen reader on, a label announces its first text while it is
    // built, which caches the stock interface: drop that one.
    QAccessibleInterface *cached = QAccessible::queryAccessibleInterface(widget);
    if (cached && !dynamic_cast<LiveAccessible *>(cached)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cached));
        QAccessible::queryAccessibleInterface(widget);
    }
}

// A label announces a new text itself; a cell's colour and the bar's width
// change with no word to a screen reader unless someone says so.
class Announcer : public QObject {
public:
    Announcer(frmMain &form) : QObject(&form), form_(form) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::PaletteChange) {
            QAccessibleEvent changed(watched, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&changed);
        } else if (event->type() == QEvent::Resize && watched == form_.shpJikanK) {
            QAccessibleValueChangeEvent changed(watched, secondsLeft(form_));
            QAccessible::updateAccessibility(&changed);
        }
        return false;
    }

private:
    frmMain &form_;
};

void describe(QWidget *widget, const QString &name, const QString &description)
{
    if (!name.isEmpty())
        widget->setAccessibleName(name);
    widget->setAccessibleDescription(description);
}

} // namespace

QString cellAccessibleName(int index, const ClickLabel &cell, const QColor &closed)
{
    QString what = cell.text();
    if (what.isEmpty())
        what = cell.backColor().rgb() == closed.rgb() ? QStringLiteral("隠れています")
                                                      : QStringLiteral("開いています");
    return QStringLiteral("問題 %1: %2").arg(index).arg(what);
}

int secondsLeftOnBar(int widthTwips, int playByou, int fullWidthTwips)
{
    if (widthTwips <= 0 || playByou <= 0 || fullWidthTwips <= 0)
        return 0;
    // width = floor(seconds × full / playByou) with playByou < full, so the
    // seconds are the least whole number at or above width × playByou / full.
    const qint64 seconds = (qint64(widthTwips) * playByou + fullWidthTwips - 1) / fullWidthTwips;
    return int(std::min<qint64>(seconds, playByou));
}

void makeAccessible(frmMain &form)
{
    describe(&form, {}, QStringLiteral("四字熟語のタイピング練習"));
    // Buttons and the toggle: the caption names, the tooltip describes.
    for (QToolButton *button : {form.cmdStart, form.cmdHozon, form.cmdClear, form.cmdHelp, form.cmdEnd})
        describe(button, button->text(), button->toolTip());
    describe(form.chkAs, QStringLiteral("自動保存"), form.chkAs->toolTip());

    describe(form.Image1, QStringLiteral("SUMIRAKU"), QStringLiteral("四字熟語タイピング"));
    for (QWidget *line : form.Line1)
        describe(line, QStringLiteral("区切り線"), QStringLiteral("見出しと遊ぶ場所の境目"));
    describe(form.lstHide, QStringLiteral("隠す文字の作業リスト"), QStringLiteral("表示されません"));
    describe(form.Frame1, QStringLiteral("遊ぶ場所"),
             QStringLiteral("設定、成績、残り時間、問題、解答と履歴"));
    for (int i = 1; i <= 3; ++i)
        describe(form.imgStart[i], QStringLiteral("カウントダウン %1").arg(4 - i),
                 QStringLiteral("スタートまでの合図"));

    describe(form.Label1[1], {}, QStringLiteral("プレイ秒数の見出し"));
    form.Label1[1]->setBuddy(form.cboJikan);
    describe(form.cboJikan, QStringLiteral("プレイ秒数"), QStringLiteral("ゲームの長さを秒で選びます"));
    describe(form.Label2[0], {}, QStringLiteral("プレイモードの見出し"));
    form.Label2[0]->setBuddy(form.cboHide);
    describe(form.cboHide, QStringLiteral("プレイモード"), QStringLiteral("問題の隠し方を選びます"));
    describe(form.Label2[1], {}, QStringLiteral("解答欄の見出し"));
    form.Label2[1]->setBuddy(form.txtKaitou);
    describe(form.txtKaitou, QStringLiteral("解答"),
             QStringLiteral("四字熟語を入力して Enter で答えます。Esc で隠れた文字がわかります"));

    describe(form.fraJisyo, {}, QStringLiteral("辞書の四字熟語。クリックすると虫喰い履歴を表示します"));
    describe(form.lstJisyo, QStringLiteral("登録四字熟語"), QStringLiteral("辞書の四字熟語の一覧"));
    describe(form.frmRireki, {}, QStringLiteral("このゲームで解いた問題。クリックすると登録四字熟語に戻ります"));
    describe(form.lstRireki, QStringLiteral("虫喰い履歴"),
             QStringLiteral("解いた問題を、隠れていた文字を□にして並べます"));
    describe(form.lblHint, QStringLiteral("問題"), form.lblHint->toolTip());
    describe(form.msgRireki, QStringLiteral("履歴"), QStringLiteral("保存したゲームの成績"));
    if (auto *table = form.msgRireki->findChild<QTableView *>())
        describe(table, QStringLiteral("履歴"), QStringLiteral("保存したゲームの成績"));

    for (int i = 1; i <= 4; ++i) {
        describe(form.lblMondai[i], {}, QStringLiteral("問題の %1 文字目").arg(i));
        makeLive(form.lblMondai[i], {Kind::Cell, &form, i, {}});
    }

    const struct {
        QLabel *label;
        const char *caption;
        const char *description;
    } stats[] = {
        {form.lblOk, "正解数", "正解した問題の数"},
        {form.lblNg, "不正解数", "間違えた回数"},
        {form.lblMoji_T, "入力文字数", "正解した四字熟語の文字数の合計。ゲームの終わりに表示します"},
        {form.lblRitu, "正解率", "解答のうち正解の割合。ゲームの終わりに表示します"},
        {form.lblByou, "秒当たり入力文字数", "1 秒当たりに入力した文字数。ゲームの終わりに表示します"},
    };
    for (const auto &s : stats) {
        describe(s.label, {}, QString::fromUtf8(s.description));
        makeLive(s.label, {Kind::Stat, &form, 0, QString::fromUtf8(s.caption)});
    }
    makeLive(form.Frame2, {Kind::Stats, &form, 0, QStringLiteral("成績")});
    makeLive(form.shpJikanK, {Kind::TimeLeft, &form, 0, QStringLiteral("残り時間")});
    describe(form.shpJikanK, {}, QStringLiteral("ゲームの残り秒数。緑の帯が短くなります"));
    describe(form.shpJikanB, QStringLiteral("時間切れの帯"), QStringLiteral("緑の帯が減ると見える赤い帯"));

    auto *announcer = new Announcer(form);
    for (int i = 1; i <= 4; ++i)
        form.lblMondai[i]->installEventFilter(announcer);
    form.shpJikanK->installEventFilter(announcer);

    // Keyboard users reach the statistics and the time left after the
    // designed stops; a click never takes the focus from the answer box.
    form.Frame2->setFocusPolicy(Qt::TabFocus);
    form.shpJikanK->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(form.cboJikan, form.Frame2);
    QWidget::setTabOrder(form.Frame2, form.shpJikanK);
    auto *ring = new QFocusFrame(&form);
    QObject::connect(qApp, &QApplication::focusChanged, ring, [ring, &form](QWidget *, QWidget *now) {
        ring->setWidget(now == form.Frame2 || now == form.shpJikanK ? now : nullptr);
    });
}

} // namespace sumiraku
