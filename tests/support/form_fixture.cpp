#include "form_fixture.h"

#include "app/app_setup.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"

#include <QTableView>

#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace sumiraku::testing {

FormFixture::FormFixture(bool ticking) : ticking_(ticking)
{
    setupFonts();
    makeForm();
}

void FormFixture::makeForm()
{
    Platform platform;
    platform.messages = &messages;
    platform.process = &process;
    platform.clock = &clock;
    platform.random = &random;
    platform.help = &help;
    form = std::make_unique<frmMain>(platform);
    if (!ticking_) {
        form->tmrStart->stop();
        form->tmrBp->stop();
    }
}

FormFixture::~FormFixture() = default;

void FormFixture::load()
{
    form->guard([this] { form->Form_Load(); });
}

void FormFixture::restart()
{
    form.reset();
    messages.shown.clear();
    process.exits.clear();
    makeForm();
    load();
}

void FormFixture::loadWith(const QByteArray &dictionary, const QByteArray &settings)
{
    sandbox.writeDefaults(dictionary);
    if (!settings.isEmpty())
        sandbox.write(kSettings, settings);
    load();
}

void FormFixture::answer(const QString &text)
{
    form->txtKaitou->setText(text);
    pressKey(Qt::Key_Return);
}

void FormFixture::pressKey(Qt::Key key)
{
    QTest::keyClick(form->txtKaitou, key);
}

QString FormFixture::cells() const
{
    QString shown;
    for (int i = 1; i <= 4; ++i) {
        const QString caption = form->lblMondai[i]->text();
        shown += caption.isEmpty() ? QStringLiteral("□") : caption;
    }
    return shown;
}

void FormFixture::startGame()
{
    form->cmdStart->click();
    for (int i = 0; i < 3; ++i)
        form->tmrStart_Timer();
}

void FormFixture::runOutTheClock()
{
    clock.seconds += form->state.PlayByou;
    form->tmrBp_Timer();
}

bool rowInView(const FlexGrid *grid, int row)
{
    QTableView *view = grid->view();
    const QModelIndex index = view->model()->index(row - grid->FixedRows(), 0);
    return view->viewport()->rect().contains(view->visualRect(index));
}

} // namespace sumiraku::testing
