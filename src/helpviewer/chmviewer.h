#pragma once

// The help viewer where the system has none: it opens a compiled help file at its
// default topic in a window owned by the caller and closes all its windows on request.
// A window per file and owner is reused, as the classic viewer does: asking again shows
// the default topic in it. A file that cannot be opened is reported in a message box.

#include "platform/services.h"

#include <QList>
#include <QPointer>
#include <QUrl>
#include <functional>

namespace sumiraku {

class ChmHelpWindow;

class ChmHelpViewer : public HelpViewer {
public:
    using LinkOpener = std::function<void(const QUrl &)>;

    // Without `messages` a plain QMessageBox reports; without `openExternal` links
    // to the web open in the desktop's browser.
    explicit ChmHelpViewer(MessageBoxes *messages = nullptr, LinkOpener openExternal = {});
    ~ChmHelpViewer() override;

    void displayTopic(QWidget *owner, const QString &helpFile) override;
    void closeAll() override;

    // The help windows now on screen.
    QList<ChmHelpWindow *> windows() const;

private:
    void report(QWidget *owner, const QString &text);

    MessageBoxes *messages_;
    LinkOpener openExternal_;
    QList<QPointer<ChmHelpWindow>> windows_;
};

} // namespace sumiraku
