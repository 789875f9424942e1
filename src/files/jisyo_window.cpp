#include "app/frmMain.h"

#include "files/dictionary_file.h"
#include "platform/numbers.h"

#include <QListView>
#include <QStringListModel>

using namespace sumiraku;

qint16 frmMain::LoadJisyoList()
{
    const QStringList entries = readDictionary();
    // Added after whatever the list already shows, as items would be.
    auto *model = qobject_cast<QStringListModel *>(lstJisyo->model());
    model->setStringList(model->stringList() + entries);
    return checked16(entries.size());
}

bool frmMain::LoadJisyo()
{
    // One read serves both the count and the entries: they come from the same
    // bytes, so the stored entries are exactly the ones counted.
    QStringList entries = readDictionary();
    if (entries.isEmpty())
        return false;
    state.JisyoCount = checked16(entries.size());
    entries.prepend(QString());   // Jisyo(0) exists and stays empty
    state.Jisyo = std::move(entries);
    return true;
}
