#include "study/misses_window.h"

#include "study/study.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace sumiraku {

namespace {

enum Column { Idiom, Reading, Meaning, Misses, Reveals, Rights, LastSeen, Columns };

} // namespace

MissesWindow::MissesWindow(Study *study, QWidget *owner) : QDialog(owner, Qt::Window), study_(study)
{
    setWindowTitle(QStringLiteral("苦手な熟語"));
    setAccessibleName(windowTitle());
    resize(760, 420);
    table = new QTableWidget(0, Columns, this);
    table->setAccessibleName(QStringLiteral("苦手な熟語の一覧"));
    table->setHorizontalHeaderLabels({QStringLiteral("熟語"), QStringLiteral("読み"), QStringLiteral("意味"),
                                      QStringLiteral("間違い"), QStringLiteral("表示"), QStringLiteral("正解"),
                                      QStringLiteral("最後に出た日")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(Meaning, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(Reading, QHeaderView::ResizeToContents);
    problem = new QLabel(this);
    problem->setWordWrap(true);
    problem->hide();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *forget = buttons->addButton(QStringLiteral("記録を消去…"), QDialogButtonBox::ResetRole);
    forget->setAccessibleName(QStringLiteral("苦手な熟語の記録を消去"));
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(forget, &QPushButton::clicked, this, &MissesWindow::forget);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(problem);
    layout->addWidget(table);
    layout->addWidget(buttons);
}

void MissesWindow::refresh()
{
    QString trouble;
    const std::optional<MissRecord> record = study_->readRecord(&trouble);
    problem->setText(trouble);
    problem->setVisible(!record);
    table->setSortingEnabled(false);
    table->setRowCount(0);
    if (!record)
        return;
    table->setRowCount(int(record->size()));
    int row = 0;
    for (auto it = record->cbegin(); it != record->cend(); ++it, ++row) {
        const QString note = study_->noteFor(it.key());
        const QStringList lines = note.split(u'\n');
        const bool known = lines.size() == 2;
        const QVariant cells[Columns] = {it.key(), known ? lines[0] : QString(), known ? lines[1] : QString(),
                                         it->misses, it->reveals, it->rights,
                                         it->lastSeen.toString(QStringLiteral("yyyy/MM/dd"))};
        for (int c = 0; c < Columns; ++c) {
            auto *item = new QTableWidgetItem;
            item->setData(Qt::DisplayRole, cells[c]);
            item->setData(Qt::ToolTipRole, note);
            item->setData(Qt::AccessibleDescriptionRole, note);
            table->setItem(row, c, item);
        }
    }
    table->setSortingEnabled(true);
    table->sortByColumn(Misses, Qt::DescendingOrder);
}

void MissesWindow::forget()
{
    if (study_->platform_.messages->show(this, QStringLiteral("苦手な熟語の記録をすべて消去します。よろしいですか？"),
                                         windowTitle(), MsgButtons::OkCancel, MsgIcon::Exclamation)
        != MsgResult::Ok)
        return;
    QString trouble;
    if (!study_->writeRecord({}, &trouble))
        study_->warn(trouble);
    refresh();
}

} // namespace sumiraku
