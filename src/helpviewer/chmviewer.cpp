#include "helpviewer/chmviewer.h"

#include "helpviewer/chmarchive.h"
#include "helpviewer/chmwindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>

namespace sumiraku {

ChmHelpViewer::ChmHelpViewer(MessageBoxes *messages, LinkOpener openExternal)
    : messages_(messages), openExternal_(std::move(openExternal))
{
    if (!openExternal_)
        openExternal_ = [](const QUrl &url) { QDesktopServices::openUrl(url); };
}

ChmHelpViewer::~ChmHelpViewer()
{
    for (const QPointer<ChmHelpWindow> &window : std::as_const(windows_))
        delete window.data();
}

void ChmHelpViewer::displayTopic(QWidget *owner, const QString &helpFile)
{
    windows_.removeIf([](const QPointer<ChmHelpWindow> &window) { return window.isNull(); });
    const QString path = QFileInfo(helpFile).absoluteFilePath();
    for (ChmHelpWindow *window : windows()) {
        if (window->filePath() == path && window->parentWidget() == owner) {
            window->showDefaultTopic();
            return;
        }
    }
    QString why;
    std::shared_ptr<const ChmArchive> archive = ChmArchive::open(path, &why);
    if (!archive) {
        report(owner, QStringLiteral("ヘルプファイル「%1」を開けません。\n%2").arg(helpFile, why));
        return;
    }
    auto *window = new ChmHelpWindow(std::move(archive), path, owner, openExternal_);
    windows_.append(window);
    window->showDefaultTopic();
}

void ChmHelpViewer::closeAll()
{
    for (const QPointer<ChmHelpWindow> &window : std::as_const(windows_)) {
        if (window)
            window->close();
    }
    windows_.clear();
}

QList<ChmHelpWindow *> ChmHelpViewer::windows() const
{
    QList<ChmHelpWindow *> open;
    for (const QPointer<ChmHelpWindow> &window : windows_) {
        if (window && window->isVisible())
            open.append(window.data());
    }
    return open;
}

void ChmHelpViewer::report(QWidget *owner, const QString &text)
{
    const QString title = QStringLiteral("SUMIRAKU ヘルプ");
    if (messages_)
        messages_->show(owner, text, title, MsgButtons::OkOnly, MsgIcon::Exclamation);
    else
        QMessageBox::warning(owner, title, text);
}

} // namespace sumiraku
