#include "form_fixture.h"

#include "app/app_setup.h"
#include "study/misses_window.h"
#include "study/study.h"

#include <QAccessible>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTableWidget>
#include <QTimer>
#include <map>

namespace sumiraku::testing {

FormFixture::FormFixture(bool ticking) : ticking_(ticking)
{
    setupFonts();
    form = newForm();
}

std::unique_ptr<frmMain> FormFixture::newForm()
{
    auto made = std::make_unique<frmMain>(Platform{&messages, &process, &clock, &random, &help});
    if (!ticking_)
        made->tmrStart->stop(), made->tmrBp->stop();
    return made;
}

void FormFixture::load()
{
    form->guard([this] { form->Form_Load(); });
}

QStringList FormFixture::play(const QString &script)
{
    QStringList went;
    for (const QString &step : script.simplified().split(u' ')) {
        const qsizetype is = step.indexOf(u'=');
        if (is <= 0) {
            went << (act(step) ? step : QStringLiteral("<unknown %1>").arg(step));
            continue;
        }
        const bool part = step.at(is - 1) == u'~';
        const QString seen = look(step.left(is - part)).replace(u'\n', u'/').replace(u' ', u'_');
        went << step.left(is + 1) + (part && seen.contains(step.mid(is + 1)) ? step.mid(is + 1) : seen);
    }
    return went;
}

// The steps. Files are written before "load", the usual ones unless changed.
bool FormFixture::act(const QString &step)
{
    frmMain &w = *form;
    const QString verb = step.startsWith(u'=') ? QStringLiteral("=") : step.section(u':', 0, 0);
    const QString arg = step.startsWith(u'=') ? step.mid(1) : step.section(u':', 1);
    const auto click = [](QWidget *widget, QPoint at = {}) { QTest::mouseClick(widget, Qt::LeftButton, {}, at); };
    const auto pick = [&arg](PickCombo *combo) { combo->setEditText(arg), emit combo->clicked(); };
    const auto answer = [&w](const QString &text) { w.txtKaitou->setText(text), QTest::keyClick(w.txtKaitou, Qt::Key_Return); };
    const auto runOutTheClock = [&] { clock.pass(w.state.PlayByou), w.tmrBp_Timer(); };
    const QString named = arg.isEmpty() ? kHistory : arg;
    const std::map<QString, std::function<void()>> steps = {
        {"dict", [&] { sandbox.writeDefaults(sjis(QString(arg + u',').replace(u',', "\r\n").toUtf8())); }},
        {"settings", [&] { sandbox.write(kSettings, sjis((arg + "\r\n").toUtf8())); }},
        {"records", [&] { sandbox.write(kHistory, kRecord.repeated(arg.toInt())); }},
        // The history, or the file named: gone, even as a folder; a folder in its place.
        {"gone", [&] { sandbox.remove(named), QDir(sandbox.path()).rmdir(named); }},
        {"jam", [&] { sandbox.remove(named), QDir(sandbox.path()).mkdir(named); }},
        // UTF-8 as "text=" shows it, with %XX for any byte.
        {"put", [&] {
             const QString text = arg.section(u':', 1).replace(u'_', u' ').replace(u'|', u'\t').replace(u'/', u'\n');
             sandbox.write(arg.section(u':', 0, 0), QByteArray::fromPercentEncoding(text.toUtf8()));
         }},
        {"big", [&] { sandbox.write(arg, QByteArray(1 << 20, 'x')); }},   // one 1 MB line
        {"load", [&] { load(); }},
        {"again", [&] {   // a second program started in the same folder
             const auto second = newForm();
             second->guard([&second] { second->Form_Load(); });
         }},
        {"start", [&] {   // and the countdown's three ticks: the first idiom is on screen
             w.cmdStart->click();
             for (int i = 0; i < 3; ++i)
                 w.tmrStart_Timer();
         }},
        {"click", [&] { w.cmdStart->click(); }},
        {"tick", [&] { w.tmrStart_Timer(); }},   // the countdown's
        {"=", [&] { answer(arg == u"*" ? w.state.Mondai : arg); }},   // "=*": the idiom asked
        {"late", [&] {   // a miss whose box is up when the clock ends
             messages.whileOpen = [&](const ShownBox &) { runOutTheClock(); };
             answer(arg), messages.whileOpen = nullptr;
         }},
        {"esc", [&] { QTest::keyClick(w.txtKaitou, Qt::Key_Escape); }},
        {"hint", [&] { click(w.lblHint); }},
        {"cell", [&] { click(w.lblMondai[arg.toInt()]); }},
        {"type", [&] { w.cboHide->setEditText(arg); }},   // a mode typed, not picked
        {"pick", [&] { pick(w.cboHide); }},
        {"time", [&] { pick(w.cboJikan); }},
        {"r", [&] { random.value = arg.toFloat(); }},
        {"at", [&] { clock.seconds = arg.toDouble(), w.tmrBp_Timer(); }},   // the wall clock set, seconds since midnight
        {"wait", [&] { clock.pass(arg.toDouble()), w.tmrBp_Timer(); }},
        {"end", runOutTheClock},   // the play time passes, the clock timer ends the game
        {"save", [&] { w.cmdHozon->click(); }},
        {"clear", [&] { w.cmdClear->click(); }},
        {"cancel", [&] { messages.answers.push_back(MsgResult::Cancel); }},   // the next box
        {"help", [&] { w.cmdHelp->click(); }},
        {"quit", [&] { w.cmdEnd->click(); }},
        {"close", [&] { w.close(); }},
        {"auto", [&] { w.chkAs->click(); }},
        // The dictionary panel's caption, the solved panel's margin.
        {"show", [&] { arg == u"solved" ? click(w.fraJisyo, {60, 5}) : click(w.frmRireki, {3, 80}); }},
        {"list", [&] { click(w.lstJisyo->viewport(), {20, 20}), click(w.lstJisyo, {0, 20}); }},   // its border too
        {"often", [&] { w.study->setDrawMissedMore(true); }},   // missed idioms drawn more
        {"misses", [&] { w.study->openMisses(); }},
        {"forget", [&] {   // in the misses window
             for (QPushButton *button : w.findChild<MissesWindow *>()->findChildren<QPushButton *>())
                 button->text() == u"記録を消去…" ? button->click() : void();
         }},
    };
    if (!steps.count(verb))
        return false;
    if (!QFileInfo::exists(kDictionary) && QStringList{"settings", "records", "load"}.contains(verb))
        sandbox.writeDefaults();
    steps.at(verb)();
    return true;
}

// The checks: what the player sees, the files, the boxes and what a screen
// reader is told.
QString FormFixture::look(const QString &check)
{
    frmMain &w = *form;
    const QString what = check.section(u':', 0, 0), arg = check.section(u':', 1);
    FlexGrid *grid = w.msgRireki;
    const auto number = [](auto n) { return QString::number(n); };
    const auto each = [](int last, const QString &separator, const auto &mark) {
        QStringList marks;
        for (int i = 1; i <= last; ++i)
            marks << mark(i);
        return marks.join(separator);
    };
    const auto gridRow = [&](int row) { return each(10, ",", [&](int c) { return grid->TextMatrix(row, c - 1); }); };
    const auto items = [&](const QAbstractItemModel *model) {
        return each(model->rowCount(), ",", [&](int i) { return model->index(i - 1, 0).data().toString(); });
    };
    const auto file = [this](const QString &name) {
        return QString(QStringDecoder("Shift_JIS")(sandbox.read(name))).replace("\r\n", "↵");
    };
    const auto accessible = [](QWidget *widget, QAccessible::Text t = QAccessible::Name) {
        return QAccessible::queryAccessibleInterface(widget)->text(t);
    };
    const auto caption = [&](int i) { return w.lblMondai[i]->text(); };
    const auto closed = [&](int i) { return w.lblMondai[i]->backColor().rgb() == w.buttonFace().rgb(); };
    const ShownBox box = messages.shown.value(messages.shown.size() - 1);
    const std::map<QString, std::function<QString()>> looks = {
        {"cells", [&] { return each(4, {}, [&](int i) { return caption(i).isEmpty() ? "□" : caption(i); }); }},
        {"closed", [&] { return each(4, {}, [&](int i) { return closed(i) ? "x" : "o"; }); }},
        {"said", [&] {   // the cells' accessible names
             const auto name = [&](int i) { return accessible(w.lblMondai[i]); };
             return each(4, ",", [&](int i) { return name(i).remove(QStringLiteral("問題 %1: ").arg(i)); });
         }},
        {"unnamed", [&] {   // designed controls a screen reader finds without a name or a description
             QStringList unnamed;
             for (QWidget *widget : w.findChildren<QWidget *>(QRegularExpression("^(?!qt_)."))) {
                 if (accessible(widget).isEmpty() || accessible(widget, QAccessible::Description).isEmpty())
                     unnamed << widget->objectName();
             }
             return unnamed.join(u',');
         }},
        {"pictures", [&] { return each(3, {}, [&](int i) { return w.imgStart[i]->isHidden() ? "-" : number(i); }); }},
        {"solved", [&] { return items(w.lstRireki->model()); }},
        {"score", [&] {   // OK/NG/characters
             return QStringLiteral("%1/%2/%3").arg(w.state.OkCount).arg(w.state.NgCount).arg(w.state.MojiCount);
         }},
        {"report", [&] { return accessible(w.Frame2, QAccessible::Description); }},   // the statistics
        {"phase", [&] {   // "+button" when the start button disagrees
             const QString phase = w.state.StartWait ? "countdown" : w.state.Playing ? "playing" : "idle";
             return w.cmdStart->isEnabled() == (phase == u"idle") ? phase : phase + "+button";
         }},
        {"bar", [&] { return number(w.shpJikanK->widthTwips()); }},
        {"left", [&] {   // as a screen reader hears the time bar, and of how much
             const auto *value = QAccessible::queryAccessibleInterface(w.shpJikanK)->valueInterface();
             return accessible(w.shpJikanK, QAccessible::Value) + "/" + value->maximumValue().toString();
         }},
        {"rows", [&] { return number(grid->Rows() - 1); }},
        {"row", [&] { return gridRow(grid->Rows() - 1); }},   // the newest
        {"head", [&] { return gridRow(0); }},
        {"scrolled", [&] { return grid->TopRow() > 1 ? "yes" : "no"; }},
        {"saved", [&] { return number(sandbox.read(kHistory).count("\r\n")); }},   // records in the file
        {"file", [&] { return file(kHistory); }},
        {"settings", [&] { return file(kSettings); }},
        {"box", [&] {   // the last: title, icon, and whether it offers Cancel
             const QString icon = QStringList{"(x)", "(!)", "(i)"}.at(int(box.icon));
             return box.title + icon + (box.buttons == MsgButtons::OkCancel ? "+cancel" : "");
         }},
        {"says", [&] { return box.text; }},
        {"boxes", [&] { return each(messages.shown.size(), ",", [&](int i) { return messages.shown[i - 1].title; }); }},
        {"exits", [&] { return each(process.exits.size(), ",", [&](int i) { return number(process.exits[i - 1]); }); }},
        {"helps", [&] { return help.opened.join(u',') + u'/' + number(help.closedAll); }},   // opened/closings
        {"panel", [&] { return w.frmRireki->isVisible() ? "solved" : "dictionary"; }},
        {"shown", [&] {   // the settings in force
             const QString autoSave = w.chkAs->isChecked() ? "1" : "0";
             return QStringList{w.cboJikan->currentText(), autoSave, w.cboHide->currentText()}.join(u',');
         }},
        {"modes", [&] { return items(w.cboHide->model()); }},
        {"dictionary", [&] { return w.fraJisyo->title() + ":" + items(w.lstJisyo->model()); }},
        {"text", [&] { return QString::fromUtf8(sandbox.read(arg)).replace(u'\t', u'|'); }},   // "text:NAME"
        {"tip", [&] { return w.lstRireki->item(0)->toolTip(); }},   // the first solved idiom's notes
        {"table", [&] {   // the misses window: title, then each idiom with its notes
             const auto *window = w.findChild<MissesWindow *>();
             return window->windowTitle() + ":" + each(window->table->rowCount(), ",", [&](int r) {
                 return window->table->item(r - 1, 0)->text() + "(" + window->table->item(r - 1, 2)->toolTip() + ")";
             });
         }},
    };
    return looks.count(what) ? looks.at(what)() : QStringLiteral("<no check %1>").arg(what);
}

} // namespace sumiraku::testing
