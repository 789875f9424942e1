#include "controls/controls.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QRawFont>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <iterator>

namespace sumiraku {

void TextListModel::append(int count, std::function<QString(int)> text)
{
    if (count <= 0)
        return;
    beginInsertRows({}, rows_, rows_ + count - 1);
    blocks_.push_back({rows_, std::move(text)});
    rows_ += count;
    endInsertRows();
}

int TextListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

QVariant TextListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_ || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    // The last block that begins at or before the row holds it.
    const auto block = std::prev(std::upper_bound(blocks_.begin(), blocks_.end(), index.row(),
                                                  [](int row, const Block &b) { return row < b.first; }));
    return block->text(index.row() - block->first);
}

Qt::ItemFlags TextListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void ClickLabel::setBackColor(const QColor &color)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
}

QColor ClickLabel::backColor() const
{
    return palette().color(QPalette::Window);
}

void ClickLabel::setWrapAnywhere(bool on)
{
    wrapAnywhere_ = on;
    update();
}

void ClickLabel::setGlyphCell(bool on)
{
    glyphCell_ = on;
    update();
}

namespace {

// The character in black as FreeType renders it, cropped to its ink, in
// device pixels; a face too large for `room` is rendered at the size that
// fits. Qt draws text above 64 pixels as a filled path, at about three times
// the cost, and the cells are drawn anew on every answer. Null when the face
// lacks the character or draws it with other than one glyph (a variation
// sequence), for drawText to take with Qt's font fallback and shaping.
QImage glyphImage(const QString &text, QFont font, const QSizeF &room, qreal dpr)
{
    int pixels = qRound(QFontInfo(font).pixelSize() * dpr);
    QImage alpha;
    for (int tries = 0; tries < 2; ++tries) {
        font.setPixelSize(pixels);
        const QRawFont raw = QRawFont::fromFont(font);
        const QList<quint32> glyphs = raw.glyphIndexesForString(text);
        if (glyphs.size() != 1 || glyphs.front() == 0)
            return {};
        alpha = raw.alphaMapForGlyph(glyphs.front(), QRawFont::PixelAntialiasing);
        if (alpha.isNull())
            return {};
        const qreal fit = std::min(room.width() * dpr / alpha.width(), room.height() * dpr / alpha.height());
        if (fit >= 1.0)
            break;
        pixels = std::max(1, int(pixels * fit));
    }
    // Converted, the map is the ink in black, the cells' colour.
    QImage ink = alpha.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ink.setDevicePixelRatio(dpr);
    return ink;
}

} // namespace

void ClickLabel::paintGlyph()
{
    QPainter painter(this);
    drawFrame(&painter);
    const QString caption = text();
    if (caption.isEmpty())
        return;
    // The character's ink, not its line, is centred: fonts place kanji at
    // different heights within their lines. A character too large for the
    // label, less a small margin, is drawn at the size that fits.
    const QRectF area = QRectF(contentsRect()).marginsRemoved(QMarginsF(3, 3, 3, 3));
    const QColor ink = palette().color(QPalette::WindowText);
    // The painter's scale, not the widget's: a cell rendered into a picture
    // of another scale is drawn at that one.
    const QImage glyph = ink.rgba() == qRgb(0, 0, 0)
                             ? glyphImage(caption, font(), area.size(), painter.deviceTransform().m22())
                             : QImage();
    if (!glyph.isNull()) {
        painter.drawImage(area.center() - QRectF(QPointF(), glyph.deviceIndependentSize()).center(), glyph);
        return;
    }
    QFont glyphFont = font();
    QRectF inkBox = QFontMetricsF(glyphFont).tightBoundingRect(caption);
    const qreal fit = std::min(area.width() / inkBox.width(), area.height() / inkBox.height());
    if (fit < 1.0) {
        glyphFont.setPixelSize(std::max(1, int(QFontInfo(glyphFont).pixelSize() * fit)));
        inkBox = QFontMetricsF(glyphFont).tightBoundingRect(caption);
    }
    painter.setFont(glyphFont);
    painter.setPen(ink);
    painter.drawText(area.center() - inkBox.center(), caption);
}

void ClickLabel::paintEvent(QPaintEvent *event)
{
    if (glyphCell_) {
        paintGlyph();
        return;
    }
    if (!wrapAnywhere_) {
        QLabel::paintEvent(event);
        return;
    }
    // Qt lets a line-end space hang and keeps the next character with it, so
    // lay the characters out one by one.
    const QRect area = contentsRect();
    const QFontMetrics metrics(font());
    QStringList lines(QString{});
    for (const QChar ch : text()) {
        if (!lines.last().isEmpty()
            && metrics.horizontalAdvance(lines.last() + ch) > area.width())
            lines.append(QString{});
        lines.last() += ch;
    }
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    QRect line(area.left(), area.top(), area.width(), metrics.height());
    for (const QString &text : lines) {
        painter.drawText(line, int(alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop, text);
        line.translate(0, metrics.height());
    }
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
    event->accept();   // so that the release comes back here
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    pressed_ = false;
    event->accept();
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (isEnabled())
            click();
        event->accept();
        return;
    }
    QToolButton::keyPressEvent(event);
}

ClickFrame::ClickFrame(const QString &title, QWidget *parent) : QGroupBox(title, parent)
{
    // Opaque, so that the frame lying above another one hides it whole.
    setAutoFillBackground(true);
}

void ClickFrame::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
    QGroupBox::mousePressEvent(event);
    event->accept();
}

void ClickFrame::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    pressed_ = false;
    QGroupBox::mouseReleaseEvent(event);
    event->accept();
    if (click)
        emit clicked();
}

PickCombo::PickCombo(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);    // it would complete and activate typed text
    setMaxVisibleItems(8);
    connect(this, &QComboBox::activated, this, [this] {
        if (picking_)
            emit clicked();
    });
    // A text wider than the box shows from its start, as the classic combo
    // shows it, unless the player is in the box. Setting a text puts the
    // cursor at its end, and the same text again signals nothing else.
    QLineEdit *edit = lineEdit();
    connect(edit, &QLineEdit::cursorPositionChanged, this, [edit] {
        if (!edit->hasFocus() && edit->cursorPosition() != 0)
            edit->setCursorPosition(0);
    });
}

void PickCombo::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (!(event->modifiers() & Qt::AltModifier)) {
            picking_ = true;
            QComboBox::keyPressEvent(event);
            picking_ = false;
            return;
        }
        break;
    default:
        break;
    }
    QComboBox::keyPressEvent(event);
}

void PickCombo::wheelEvent(QWheelEvent *event)
{
    picking_ = true;
    QComboBox::wheelEvent(event);
    picking_ = false;
}

void PickCombo::hidePopup()
{
    // A choice in the popup closes it and is reported right after, in the same
    // call; an Escape closes it with no report. Either way the window ends with
    // the return to the event loop.
    QComboBox::hidePopup();
    picking_ = true;
    QTimer::singleShot(0, this, [this] { picking_ = false; });
}

Shape::Shape(const QColor &fill, QWidget *parent) : QWidget(parent), fill_(fill)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Shape::setWidthTwips(int twips)
{
    widthTwips_ = twips;
    resize(std::min(twipsToPixels(twips), QWIDGETSIZE_MAX), height());
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

void Shape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), fill_);
}

qint16 keyAsciiFor(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    // Alt turns a key into a menu key: the classic handler sees none.
    if (modifiers & Qt::AltModifier)
        return 0;
    const bool ctrl = modifiers & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ctrl ? 10 : 13;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    if (ctrl) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return static_cast<qint16>(key - Qt::Key_A + 1);
        switch (key) {
        case Qt::Key_BracketLeft: return 27;
        case Qt::Key_Backslash: return 28;
        case Qt::Key_BracketRight: return 29;
        case Qt::Key_AsciiCircum: return 30;
        case Qt::Key_Underscore: return 31;
        default: return 0;
        }
    }
    return text.size() == 1 ? static_cast<qint16>(text.at(0).unicode()) : 0;
}

void AnswerBox::keyPressEvent(QKeyEvent *event)
{
    qint16 code = keyAsciiFor(event->key(), event->modifiers(), event->text());
    if (code != 0 && keyPress) {
        keyPress(code);
        if (code == 0) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace sumiraku
