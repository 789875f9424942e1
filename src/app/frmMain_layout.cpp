// The window as designed: every control at its place, with its look and its
// design-time content. Positions are the design's twips; see twipsRect().

#include "app/frmMain.h"
#include "app/accessibility.h"
#include "app/app_setup.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"
#include "controls/uniform_list.h"

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

using namespace sumiraku;

namespace {

const QColor kIvory(255, 255, 240);

QFont designFont(int pixelSize)
{
    QFont font(designFontFamily());
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    return font;
}

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

void setColors(QWidget *widget, const QColor &text, const QColor &back)
{
    QPalette pal = widget->palette();
    if (text.isValid())
        pal.setColor(QPalette::WindowText, text);
    if (back.isValid()) {
        pal.setColor(QPalette::Window, back);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(pal);
}

void setIvory(QWidget *widget)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Base, kIvory);
    widget->setPalette(pal);
}

QToolButton *commandButton(QWidget *parent, const char *name, const QString &caption,
                           const QString &icon, const QString &tip, int left)
{
    auto *button = new CommandButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setIcon(QIcon(QStringLiteral(":/art/%1.png").arg(icon)));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::StrongFocus);
    place(button, left, 150, 840, 915);
    return button;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, int pixelSize)
{
    auto *lbl = new QLabel(caption, parent);
    lbl->setObjectName(QString::fromLatin1(name));
    lbl->setFont(designFont(pixelSize));
    return lbl;
}

void styleList(QListView *list, const char *name, int pixelSize)
{
    list->setObjectName(QString::fromLatin1(name));
    list->setFont(designFont(pixelSize));
    list->setUniformItemSizes(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // An answer grows the solved list and so redraws its scroll bar; on a
    // filled background the bar hides the frame behind it, which then need
    // not be redrawn as well.
    list->verticalScrollBar()->setAutoFillBackground(true);
    // A click on the list's border is the list's own: passed on, it would
    // reach the frame around the list and switch the panel.
    list->setAttribute(Qt::WA_NoMousePropagation);
    setIvory(list);
}

QListWidget *listBox(QWidget *parent, const char *name, int pixelSize)
{
    auto *list = new QListWidget(parent);
    styleList(list, name, pixelSize);
    return list;
}

// The dictionary may hold 32,767 entries: a view over them, each entry's text
// made when shown and each row placed when painted, costs far less time and
// memory than an item for each.
QListView *entryList(QWidget *parent, const char *name, int pixelSize)
{
    auto *list = new UniformListView(parent);
    list->setModel(new TextListModel(list));
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    styleList(list, name, pixelSize);
    return list;
}

PickCombo *comboBox(QWidget *parent, const char *name)
{
    auto *combo = new PickCombo(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setFont(designFont(19));
    combo->setEditText(QStringLiteral("Combo1"));
    setIvory(combo);
    return combo;
}

// A picture at its design size. On a screen scaled above 100 % it is drawn
// from its @2x artwork brought to the screen's pixels; neither QPixmap nor
// QIcon (below 200 %) would do more than blow up the small one.
QPixmap picture(const QString &path, const QSize &size, qreal devicePixelRatio)
{
    QPixmap pixmap;
    if (devicePixelRatio > 1.0)
        pixmap.load(QString(path).insert(path.lastIndexOf(u'.'), QStringLiteral("@2x")));
    if (pixmap.isNull())
        return QPixmap(path);
    const QSize pixels = (QSizeF(size) * devicePixelRatio).toSize();
    if (pixmap.size() != pixels)
        pixmap = pixmap.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

ClickFrame *panelFrame(QWidget *parent, const char *name, const QString &caption)
{
    auto *frame = new ClickFrame(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    place(frame, 7125, 1125, 1890, 1965);
    return frame;
}

} // namespace

void frmMain::buildControls()
{
    setWindowTitle(QStringLiteral("SUMIRAKU"));
    setWindowIcon(QIcon(QStringLiteral(":/art/app.png")));
    // The design fixes backgrounds (white cells, ivory boxes, coloured labels)
    // and the counts' colours; a dark desktop theme would pair them with its
    // light text. The window keeps the design's light palette everywhere; its
    // message boxes follow the desktop.
    setPalette(QPalette(QColor(0xef, 0xef, 0xef)));
    setFont(designFont(12));
    setFixedSize(631, 452);

    // Header row, on the window itself.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(picture(QStringLiteral(":/art/banner.gif"), QSize(324, 63), devicePixelRatioF()));
    place(Image1, 150, 150, 4860, 945);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdStart = commandButton(this, "cmdStart", QStringLiteral("スタート"), QStringLiteral("app"),
                             QStringLiteral("ゲームをスタートします"), 5175);
    cmdHozon = commandButton(this, "cmdHozon", QStringLiteral("保存"), QStringLiteral("save"),
                             QStringLiteral("データを保存します"), 6000);
    cmdClear = commandButton(this, "cmdClear", QStringLiteral("クリア"), QStringLiteral("clear"),
                             QStringLiteral("履歴データをクリアします"), 6825);
    cmdHelp = commandButton(this, "cmdHelp", QStringLiteral("ヘルプ"), QStringLiteral("help"),
                            QStringLiteral("ヘルプファイルを開きます"), 7650);
    cmdEnd = commandButton(this, "cmdEnd", QStringLiteral("終了"), QStringLiteral("end"),
                           QStringLiteral("プログラムを終了します"), 8475);

    // The engraved rule: a black line one pixel above a white one.
    for (int i = 0; i < 2; ++i) {
        auto *line = new QWidget(this);
        line->setObjectName(QStringLiteral("Line1_%1").arg(i));
        setColors(line, {}, i == 0 ? Qt::white : Qt::black);
        const int top = i == 0 ? 1275 : 1260;
        line->setGeometry(twipsToPixels(150), twipsToPixels(top),
                          twipsToPixels(9300) - twipsToPixels(150), 1);
        Line1[i] = line;
    }

    lstHide = listBox(this, "lstHide", 12);
    place(lstHide, 225, 5400, 1155, 1140);
    lstHide->hide();

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(Frame1, 130, 1300, 9240, 5370);

    // Playing area, inside Frame1.
    for (int i = 1; i <= 3; ++i) {
        auto *img = new QLabel(Frame1);
        img->setObjectName(QStringLiteral("imgStart_%1").arg(i));
        img->setPixmap(picture(QStringLiteral(":/art/start%1.png").arg(i), QSize(32, 32), devicePixelRatioF()));
        place(img, 180, 270, 480, 480);
        imgStart[i] = img;
    }

    Label1[1] = label(Frame1, "Label1_1", QStringLiteral("プレイ秒数"), 15);
    place(Label1[1], 900, 195, 1155, 330);

    cboJikan = comboBox(Frame1, "cboJikan");
    place(cboJikan, 900, 450, 1065, 405);

    chkAs = new QToolButton(Frame1);
    chkAs->setObjectName(QStringLiteral("chkAs"));
    chkAs->setCheckable(true);
    chkAs->setIcon(QIcon(QStringLiteral(":/art/autosave.png")));
    chkAs->setIconSize(QSize(16, 16));
    chkAs->setToolButtonStyle(Qt::ToolButtonIconOnly);
    chkAs->setToolTip(QStringLiteral("履歴の自動保存を制御します"));
    chkAs->setFocusPolicy(Qt::StrongFocus);
    place(chkAs, 2100, 450, 450, 420);

    Frame2 = new QGroupBox(Frame1);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    place(Frame2, 2670, 135, 6330, 735);

    // The red bar first, so that the green one lies over it.
    shpJikanB = new Shape(QColor(255, 0, 0), Frame1);
    shpJikanB->setObjectName(QStringLiteral("shpJikanB"));
    place(shpJikanB, 225, 945, 8745, 75);
    shpJikanB->setWidthTwips(8745);
    shpJikanK = new Shape(QColor(0, 255, 0), Frame1);
    shpJikanK->setObjectName(QStringLiteral("shpJikanK"));
    place(shpJikanK, 225, 945, 8745, 75);
    shpJikanK->setWidthTwips(8745);

    Label2[0] = label(Frame1, "Label2_0", QStringLiteral("プレイモード"), 21);
    setColors(Label2[0], Qt::white, QColor(192, 192, 255));
    place(Label2[0], 225, 1125, 1965, 405);

    cboHide = comboBox(Frame1, "cboHide");
    place(cboHide, 2250, 1125, 1665, 405);

    Label2[1] = label(Frame1, "Label2_1", QStringLiteral("解答"), 21);
    setColors(Label2[1], Qt::white, QColor(255, 128, 128));
    place(Label2[1], 4050, 1125, 840, 405);

    txtKaitou = new AnswerBox(QStringLiteral("かぼちゃ"), Frame1);
    txtKaitou->setObjectName(QStringLiteral("txtKaitou"));
    txtKaitou->setFont(designFont(21));
    txtKaitou->setAttribute(Qt::WA_InputMethodEnabled, true);
    txtKaitou->setInputMethodHints(Qt::ImhNone);
    setIvory(txtKaitou);
    place(txtKaitou, 4950, 1125, 2040, 405);

    fraJisyo = panelFrame(Frame1, "fraJisyo", QStringLiteral("登録四字熟語"));
    lstJisyo = entryList(fraJisyo, "lstJisyo", 15);
    place(lstJisyo, 150, 225, 1590, 1635);

    // Created after fraJisyo, so it lies above it on the same spot.
    frmRireki = panelFrame(Frame1, "frmRireki", QStringLiteral("虫喰い履歴"));
    lstRireki = listBox(frmRireki, "lstRireki", 15);
    place(lstRireki, 150, 225, 1590, 1635);
    frmRireki->hide();

    lblHint = new ClickLabel(QStringLiteral("　問題"), Frame1);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setFont(designFont(21));
    lblHint->setWrapAnywhere(true);
    lblHint->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblHint->setToolTip(QStringLiteral("クリックすると元の文字がわかります"));
    setColors(lblHint, Qt::white, QColor(0, 192, 192));
    place(lblHint, 225, 1575, 465, 1500);

    const QString placeholders = QStringLiteral("四字熟語");
    for (int i = 1; i <= 4; ++i) {
        auto *cell = new ClickLabel(placeholders.at(i - 1), Frame1);
        cell->setObjectName(QStringLiteral("lblMondai_%1").arg(i));
        cell->setFont(designFont(96));
        cell->setAlignment(Qt::AlignCenter);
        cell->setGlyphCell(true);
        cell->setFrameStyle(QFrame::Panel | QFrame::Sunken);   // the cell stays visible when closed
        cell->setBackColor(buttonFace());
        place(cell, 750 + (i - 1) * 1575, 1575, 1500, 1515);
        lblMondai[i] = cell;
    }

    msgRireki = new FlexGrid(2, 10, 1, 1, Frame1);
    msgRireki->setObjectName(QStringLiteral("msgRireki"));
    msgRireki->setFont(designFont(12));
    place(msgRireki, 225, 3225, 8790, 1965);

    // Statistics row, inside Frame2.
    struct Stat {
        QLabel **target;
        const char *name;
        const char *caption;
        int left, width;
        QColor color;
    };
    const Stat stats[] = {
        {&lblOk, "lblOk", "999", 150, 810, QColor(0, 128, 0)},
        {&lblNg, "lblNg", "999", 1050, 810, QColor(255, 0, 0)},
        {&lblMoji_T, "lblMoji_T", "9999", 1950, 930, QColor(128, 0, 0)},
        {&lblRitu, "lblRitu", "100.0%", 3000, 1455, QColor(0, 0, 0)},
        {&lblByou, "lblByou", "2.63/秒", 4500, 1680, QColor(0, 0, 128)},
    };
    for (const Stat &s : stats) {
        QLabel *lbl = label(Frame2, s.name, QString::fromUtf8(s.caption), 27);
        lbl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setColors(lbl, s.color, {});
        place(lbl, s.left, 180, s.width, 465);
        *s.target = lbl;
    }

    tmrStart = new QTimer(this);
    tmrStart->setObjectName(QStringLiteral("tmrStart"));
    tmrStart->setInterval(1000);
    tmrBp = new QTimer(this);
    tmrBp->setObjectName(QStringLiteral("tmrBp"));
    tmrBp->setInterval(1000);

    // Focus order of the design.
    QWidget *order[] = {cmdStart, cmdHozon, cmdClear, cmdHelp, cmdEnd, chkAs, msgRireki,
                        txtKaitou, lstJisyo, lstRireki, cboHide, cboJikan};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);

    makeAccessible(*this);
}
