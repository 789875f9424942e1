#pragma once

// The window "苦手な熟語": the recorded idioms in a table, most missed first,
// sortable by any column, and a button that forgets the whole record.

#include <QDialog>

class QLabel;
class QTableWidget;

namespace sumiraku {

class Study;

class MissesWindow : public QDialog {
    Q_OBJECT
public:
    MissesWindow(Study *study, QWidget *owner);
    // Reads 苦手.txt again; a problem with it shows in place of the table.
    void refresh();

    QTableWidget *table = nullptr;
    QLabel *problem = nullptr;

private:
    void forget();

    Study *study_;
};

} // namespace sumiraku
