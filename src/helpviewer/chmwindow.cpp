#include "helpviewer/chmwindow.h"

#include "helpviewer/chmarchive.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QImageReader>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace sumiraku {
namespace {

const QString kScheme = QStringLiteral("chm");
constexpr int kMaxImageSide = 4096;
constexpr qsizetype kMaxTextSize = 2 * 1024 * 1024;   // laying out more would freeze the window

QImage boundedImage(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(64);   // MiB
    const QSize size = reader.size();
    if (size.width() > kMaxImageSide || size.height() > kMaxImageSide)
        return {};
    return reader.read();
}

QString missingPage(const QUrl &url, const QString &why)
{
    return QStringLiteral("<h2>%1</h2><p>%2</p>").arg(why, url.toDisplayString().toHtmlEscaped());
}

QToolButton *navigationButton(const QString &text, QStyle::StandardPixmap icon, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

} // namespace

QUrl helpUrl(const QString &path)
{
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(path, QUrl::DecodedMode);
    return url;
}

ChmBrowser::ChmBrowser(std::shared_ptr<const ChmArchive> archive, QWidget *parent)
    : QTextBrowser(parent), archive_(std::move(archive))
{
    setOpenLinks(false);   // the window decides where each link may go
}

// Never defers to the base classes: they would read files from the disk. A null result
// would make the document try the disk too, so refusals are empty values, not null ones.
QVariant ChmBrowser::loadResource(int type, const QUrl &name)
{
    if (name.scheme() == u"data")
        return {};   // decoded by the document itself; nothing is fetched
    const QUrl url = name.isRelative() ? page_.resolved(name) : name;
    std::optional<QByteArray> bytes;
    if (url.scheme() == kScheme)
        bytes = archive_->read(url.path(QUrl::FullyDecoded));
    const bool tooLong = bytes && bytes->size() > kMaxTextSize;
    switch (type) {
    case QTextDocument::HtmlResource:
        page_ = url.adjusted(QUrl::RemoveFragment);
        if (!bytes || tooLong)
            return missingPage(url, bytes ? QStringLiteral("ページが大きすぎます")
                                          : QStringLiteral("ページが見つかりません"));
        return decodeHelpPage(*bytes);
    case QTextDocument::ImageResource:
        return QVariant::fromValue(bytes ? boundedImage(*bytes) : QImage());
    case QTextDocument::StyleSheetResource:
        return bytes && !tooLong ? decodeHelpPage(*bytes) : QString();
    default:
        return bytes.value_or(QByteArray());
    }
}

ChmHelpWindow::ChmHelpWindow(std::shared_ptr<const ChmArchive> archive, const QString &filePath,
                             QWidget *owner, LinkOpener openExternal)
    : QWidget(owner, Qt::Window), archive_(std::move(archive)), filePath_(filePath),
      openExternal_(std::move(openExternal))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(archive_->title().isEmpty() ? QStringLiteral("SUMIRAKU ヘルプ") : archive_->title());

    back_ = navigationButton(QStringLiteral("戻る"), QStyle::SP_ArrowBack, this);
    forward_ = navigationButton(QStringLiteral("進む"), QStyle::SP_ArrowForward, this);
    auto *home = navigationButton(QStringLiteral("ホーム"), QStyle::SP_DirHomeIcon, this);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addWidget(home);
    buttons->addStretch();

    browser_ = new ChmBrowser(archive_, this);
    contents_ = new QTreeWidget(this);
    contents_->setHeaderHidden(true);
    auto *splitter = new QSplitter(this);
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 560});
    fillContents();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    resize(780, 560);

    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, this, &ChmHelpWindow::showDefaultTopic);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::anchorClicked, this, &ChmHelpWindow::followLink);
    connect(browser_, &QTextBrowser::sourceChanged, this, &ChmHelpWindow::markContents);
    connect(contents_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        followLink(item->data(0, Qt::UserRole).toUrl());
    });
    connect(contents_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        followLink(item->data(0, Qt::UserRole).toUrl());
    });
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this, browser_, &QTextBrowser::backward);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), this, browser_, &QTextBrowser::forward);
}

void ChmHelpWindow::showDefaultTopic()
{
    browser_->setSource(helpUrl(archive_->defaultTopic()));
    show();
    raise();
    activateWindow();
}

// Pages of the file open here; the web opens in the desktop's browser; anything else
// (files on the disk, scripts) is not followed.
void ChmHelpWindow::followLink(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == kScheme) {
        browser_->setSource(url);
    } else if (scheme == u"ms-its" || scheme == u"mk" || scheme == u"its") {
        QUrl inside = helpUrl(helpPath(url.path()));
        inside.setFragment(url.fragment());
        browser_->setSource(inside);
    } else if ((scheme == u"http" || scheme == u"https" || scheme == u"mailto") && openExternal_) {
        openExternal_(url);
    }
}

void ChmHelpWindow::fillContents()
{
    std::vector<QTreeWidgetItem *> parents;
    for (const HelpTopic &topic : archive_->contents()) {
        parents.resize(std::min<size_t>(size_t(topic.depth), parents.size()));
        auto *item = parents.empty() ? new QTreeWidgetItem(contents_) : new QTreeWidgetItem(parents.back());
        item->setText(0, topic.name);
        if (!topic.path.isEmpty())
            item->setData(0, Qt::UserRole, helpUrl(topic.path));
        parents.push_back(item);
    }
    contents_->expandAll();
    contents_->setVisible(contents_->topLevelItemCount() > 0);
}

void ChmHelpWindow::markContents(const QUrl &url)
{
    const QUrl page = url.adjusted(QUrl::RemoveFragment);
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toUrl() == page) {
            contents_->setCurrentItem(*it);
            return;
        }
    }
    contents_->clearSelection();
}

} // namespace sumiraku
