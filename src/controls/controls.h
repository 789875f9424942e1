#pragma once

// Thin stand-ins for the classic controls, only where a Qt widget alone does not
// behave as the window's event procedures expect.

#include <QAbstractListModel>
#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <vector>

namespace sumiraku {

// The items of a list box that may hold tens of thousands, read-only as the
// classic list's were: added in blocks, each item's text made when it is shown.
class TextListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    // `count` items after those the list holds; item i of them reads text(i).
    void append(int count, std::function<QString(int)> text);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Block {
        int first;
        std::function<QString(int)> text;
    };
    std::vector<Block> blocks_;
    int rows_ = 0;
};

// A label that reports a click (press and release inside it).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void setBackColor(const QColor &color);
    QColor backColor() const;
    // Breaks lines between any two characters, as a narrow classic label does
    // with Japanese text (QLabel keeps an ideographic space with what follows).
    void setWrapAnywhere(bool on);
    // Draws its caption as one large character centred in the label, so every
    // stroke shows. Laid out by its line height, the character would sit low
    // and lose its base when the font's line is taller than the label.
    void setGlyphCell(bool on);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // A double-click is one click and a double-click, as the classic label
    // reports it: its second press does not click again.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void paintGlyph();

    bool pressed_ = false;
    bool wrapAnywhere_ = false;
    bool glyphCell_ = false;
};

// A command button: Enter clicks it when it has the focus, as Space does.
class CommandButton : public QToolButton {
    Q_OBJECT
public:
    using QToolButton::QToolButton;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A frame with a caption that reports clicks on its own surface; clicks on the
// controls inside it stay with them.
class ClickFrame : public QGroupBox {
    Q_OBJECT
public:
    ClickFrame(const QString &title, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool pressed_ = false;
};

// An editable combo box whose click means "the player picked a list entry":
// a choice in the popup, an arrow or page key or the wheel in the closed box.
// Typed text, Enter on typed text and text set from code raise no click, and
// typed text never joins the list.
class PickCombo : public QComboBox {
    Q_OBJECT
public:
    explicit PickCombo(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void hidePopup() override;

private:
    bool picking_ = false;
};

// A solid rectangle, as the time bar's two shapes. Its width is kept in twips,
// the unit the game clock computes in, and shown at 15 twips a pixel.
class Shape : public QWidget {
    Q_OBJECT
public:
    Shape(const QColor &fill, QWidget *parent = nullptr);
    int widthTwips() const { return widthTwips_; }
    void setWidthTwips(int twips);
    QColor fill() const { return fill_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor fill_;
    int widthTwips_ = 0;
};

// Twips (1/1440 inch) to logical pixels at 96 dpi.
constexpr int twipsToPixels(int twips) { return (twips * 2 + 15) / 30; }
QRect twipsRect(int left, int top, int width, int height);

// The character code a key press gives the classic key-press handler, or 0
// for none: Enter 13 (10 with Ctrl), Esc 27, Ctrl with a letter 1 … 26 and with
// [ \\ ] ^ _ 27 … 31, a typed character its own code; nothing while Alt is held.
qint16 keyAsciiFor(int key, Qt::KeyboardModifiers modifiers, const QString &text);

// The answer box: hands Enter, Esc and typed characters to a key-press handler
// first, which may consume them by setting the code to 0. Text committed by an
// input method goes straight into the box, and the Enter that confirms a
// conversion never reaches here.
class AnswerBox : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    std::function<void(qint16 &keyAscii)> keyPress;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace sumiraku
