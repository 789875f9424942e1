#pragma once

// The window of the help viewer: the contents of one help file beside its pages,
// with back and forward. Pages, pictures and style sheets come from the file alone.

#include <QTextBrowser>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>

class QToolButton;
class QTreeWidget;

namespace sumiraku {

class ChmArchive;

// Addresses of objects inside the help file: "chm:/page.html".
QUrl helpUrl(const QString &path);

class ChmBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit ChmBrowser(std::shared_ptr<const ChmArchive> archive, QWidget *parent = nullptr);
    QVariant loadResource(int type, const QUrl &name) override;

private:
    std::shared_ptr<const ChmArchive> archive_;
    QUrl page_;   // the page being shown; its pictures and style sheets resolve against it
};

class ChmHelpWindow : public QWidget {
    Q_OBJECT
public:
    using LinkOpener = std::function<void(const QUrl &)>;

    // A top-level window owned by `owner`; it deletes itself when closed.
    ChmHelpWindow(std::shared_ptr<const ChmArchive> archive, const QString &filePath,
                  QWidget *owner, LinkOpener openExternal);

    void showDefaultTopic();
    void followLink(const QUrl &url);
    QString filePath() const { return filePath_; }
    ChmBrowser *browser() const { return browser_; }
    QToolButton *backButton() const { return back_; }
    QToolButton *forwardButton() const { return forward_; }

private:
    void fillContents();
    void markContents(const QUrl &url);

    std::shared_ptr<const ChmArchive> archive_;
    QString filePath_;
    LinkOpener openExternal_;
    ChmBrowser *browser_ = nullptr;
    QTreeWidget *contents_ = nullptr;
    QToolButton *back_ = nullptr;
    QToolButton *forward_ = nullptr;
};

} // namespace sumiraku
