#include "addressbook/address_book_window.h"

#include "addressbook/card_links.h"
#include "addressbook/card_notices.h"
#include "addressbook/card_pictures.h"
#include "addressbook/photo_picker_window.h"
#include "common/data_paths.h"
#include "platform/shell_open.h"
#include "ui/program.h"
#include "ui/twips.h"
#include "ui/ui_event_label.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"
#include "ui/ui_timer.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

namespace {

constexpr int kWindowHeightTwips = 5250;
constexpr int kBoxHeight = 375;

struct BoxPlace {
    int left, top, width;
};
// Places of boxes 0..12 inside the card frame, in twips.
constexpr std::array<BoxPlace, kCardEntryFields> kBoxPlaces{{{840, 240, 1335},
                                                             {2880, 240, 1335},
                                                             {840, 600, 1335},
                                                             {2880, 600, 1335},
                                                             {840, 960, 3375},
                                                             {840, 1320, 3375},
                                                             {840, 1680, 1935},
                                                             {3600, 1680, 2415},
                                                             {840, 2040, 5175},
                                                             {840, 2400, 5175},
                                                             {840, 2760, 5175},
                                                             {840, 3120, 5175},
                                                             {840, 3480, 5175}}};

QColor boxTextColour(int box) {
    if (box == 0)
        return QColor(0x00, 0x00, 0x80); // 0x800000 dark blue
    return box <= 9 ? QColor(0x00, 0x80, 0x80) : QColor(0x00, 0x00, 0xFF);
}

// The export text is laid out for a GBK text view: an ASCII character one column wide, every other character
// (box-drawing ones included) two. The fixed-pitch font draws box-drawing characters one column wide and
// Chinese ones nearly two, so each wide character is stretched or spaced to exactly two columns.
class GbkColumns : public QSyntaxHighlighter {
public:
    GbkColumns(QTextDocument* document, const QFont& font) : QSyntaxHighlighter(document) {
        const QFontMetricsF plain(font);
        QFont stretched = font;
        stretched.setStretch(200);
        const qreal twoColumns = 2 * plain.horizontalAdvance(' ');
        m_box.setFontStretch(200);
        m_box.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        m_box.setFontLetterSpacing(twoColumns - QFontMetricsF(stretched).horizontalAdvance(QChar(0x2500)));
        m_wide.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        m_wide.setFontLetterSpacing(twoColumns - plain.horizontalAdvance(QChar(0x4E2D)));
    }

protected:
    void highlightBlock(const QString& text) override {
        for (int i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c >= 0x2500 && c <= 0x257F)
                setFormat(i, 1, m_box);
            else if (c >= 0x80)
                setFormat(i, 1, m_wide);
        }
    }

private:
    QTextCharFormat m_box;
    QTextCharFormat m_wide;
};

QFont boxFont() {
    QFont f = uiFont(9);
    f.setFamilies({"SimSun", "宋体", f.family()});
    return f;
}

} // namespace

Form8::Form8(ProgramHost& app, QWidget* parent)
    : QWidget(parent), m_app(app), m_book(std::filesystem::current_path(), app.clock()),
      m_linkCursor(cardLinkCursor()) {
    setObjectName("Form8");
    setWindowTitle(QString("☆Quillet>>通讯录") + QString(18, ' ') + "Orlin工作室");
    resize(twipsToPx(kCardWidthTwips), twipsToPx(kWindowHeightTwips));
    buildToolbar();
    buildList();
    buildCard();
    buildExportOptions();
    buildExportView();
    // The cursors follow the lock of the link boxes: Timer1 runs once after each change of it.
    m_timer = singleShotTimer(this, "Timer1");
    connect(m_timer, &QTimer::timeout, this, &Form8::tick);
    m_timer->start(0);
    setAcceptDrops(true);
    Form_Load();
}

Form8::~Form8() {
    // The children go after the card table: none of their signals may reach this window any more.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
    for (QLineEdit* box : m_boxes)
        box->removeEventFilter(this);
    m_list->removeEventFilter(this);
    m_list->lineEdit()->removeEventFilter(this);
    // The picker only serves this window's card: it goes with it.
    if (m_picker)
        m_picker->close();
}

void Form8::buildToolbar() {
    static const std::array<std::pair<const char*, const char*>, 10> kButtons{{{"tqianyiye", "前一页"},
                                                                               {"thouyiye", "后一页"},
                                                                               {"tbianjiye", "编辑页"},
                                                                               {"txinjianye", "新建页"},
                                                                               {"tdiaoruzhaopian", "调入照片"},
                                                                               {"tbaocun", "保存"},
                                                                               {"tsousuo", "搜索"},
                                                                               {"tdaochu", "导出文本"},
                                                                               {"tdiuqi", "丢弃"},
                                                                               {"tguanbi", "关闭"}}};
    m_toolbar = named(new QToolBar(this), "Toolbar1");
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(20, 20));
    QFont small = uiFont();
    small.setPixelSize(10);
    m_toolbar->setFont(small);
    m_toolbar->setContentsMargins(0, 0, 0, 0);
    // Ten buttons share the card's width: no room for padding.
    m_toolbar->setStyleSheet(
        "QToolBar { spacing: 0px; padding: 0px; } QToolButton { padding: 0px; margin: 0px; border: 0px; }");
    for (const auto& [key, label] : kButtons) {
        QAction* action = named(new QAction(toolbarIcon(key), label, m_toolbar), key);
        m_toolbar->addAction(action);
        // Each button as wide as its label, so that all ten fit the card's width.
        m_toolbar->widgetForAction(action)->setFixedWidth(8 + 11 * static_cast<int>(QString(label).size()));
        connect(action, &QAction::triggered, this, [this, k = QString(key)] { runCommand(k); });
    }
    m_toolbar->setGeometry(0, 0, twipsToPx(kCardWidthTwips), 46);
}

void Form8::buildList() {
    auto* caption = named(new QLabel("记录", this), "Label2");
    caption->setGeometry(twipsToPx(120), 52, twipsToPx(480), 22);
    m_list = named(new QComboBox(this), "Combo1");
    m_list->setEditable(true);
    m_list->setInsertPolicy(QComboBox::NoInsert);
    m_list->setCompleter(nullptr);
    m_list->setGeometry(twipsToPx(600), 50, twipsToPx(3615), 24);
    m_list->setEditText("此处选择名片");
    // Enter reaches the list or its text box, whichever holds the focus.
    m_list->installEventFilter(this);
    m_list->lineEdit()->installEventFilter(this);
    // Leaving the list's text box must not pick the first entry that matches it: entries are picked
    // from the drop-down only, and Enter searches.
    QObject::disconnect(m_list->lineEdit(), &QLineEdit::editingFinished, nullptr, nullptr);
    connect(m_list, &QComboBox::activated, this, &Form8::pickFromList);
}

void Form8::buildCard() {
    static const std::array<const char*, 14> kCaptions{"序号",     "昵称",     "姓名",     "职务/称", "住宅电话",
                                                       "办公电话", "手机",     "OICQ/IP",  "地址",    "邮编",
                                                       "电子邮箱", "个人主页", "单位主页", " 照 片"};
    m_card = named(new QGroupBox(this), "Frame1");
    m_card->setGeometry(twipsRect(60, 1170, 6495, 3960));
    for (int i = 0; i < kCardEntryFields; ++i) {
        const BoxPlace place = kBoxPlaces[i];
        auto* box = named(new QLineEdit(m_card), "Text1", i);
        box->setGeometry(twipsRect(place.left, place.top, place.width, kBoxHeight));
        box->setFont(boxFont());
        box->setMaxLength(cardFields()[i].width);
        box->setReadOnly(true);
        setColors(box, kEditColour, boxTextColour(i));
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this] { m_edited = true; });
        m_boxes[i] = box;
        auto* caption = named(new QLabel(kCaptions[i], m_card), "Label1", i);
        const int captionLeft = place.left == 840 ? 30 : place.left - 780;
        caption->setGeometry(twipsRect(captionLeft, place.top, 750, kBoxHeight));
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_captions[i] = caption;
    }
    connect(m_boxes[1], &QLineEdit::textChanged, m_list, &QComboBox::setEditText);
    m_photo = named(new EventLabel(m_card), "Image1");
    m_photo->setGeometry(twipsRect(4440, 240, 1575, 1335));
    m_photo->setAlignment(Qt::AlignCenter);
    connect(m_photo, &EventLabel::clicked, this, [this] {
        if (editing(1))
            openPhotoPicker();
    });
    auto* photoCaption = named(new QLabel(kCaptions[13], m_card), "Label1", 13);
    photoCaption->setWordWrap(true); // one character a line: the caption stands beside the photo
    photoCaption->setGeometry(twipsRect(6060, 240, 300, 1335));
    photoCaption->setAlignment(Qt::AlignCenter);
    m_captions[13] = photoCaption;
}

void Form8::buildExportOptions() {
    static const std::array<const char*, 14> kChecks{"序号",     "昵称",     "姓名",     "职务/称", "住宅电话",
                                                     "办公电话", "手机",     "OICQ/IP",  "地址",    "邮编",
                                                     "电子邮箱", "个人主页", "单位主页", "照片"};
    m_options = named(new QGroupBox("导出选项", this), "Frame2");
    m_options->setGeometry(m_card->geometry());
    m_options->setAutoFillBackground(true); // it lies over the card
    auto* title = named(new QLabel("通讯录导出选项", m_options), "Label3", 0);
    title->setGeometry(12, 20, 200, 20);
    for (int i = 0; i < 14; ++i) {
        m_checks[i] = named(new QCheckBox(kChecks[i], m_options), "Check1", i);
        m_checks[i]->setGeometry(12 + (i % 3) * 138, 44 + (i / 3) * 26, 130, 22);
    }
    m_checks[13]->setEnabled(false);
    auto* notSupported = named(new QLabel("(该项目暂不支持)", m_options), "Label3", 1);
    notSupported->setGeometry(m_checks[13]->geometry().translated(62, 0).adjusted(0, 0, 40, 0));
    static const std::array<const char*, 3> kPresets{"自选", "常用", "全选"};
    for (int i = 0; i < 3; ++i) {
        m_presets[i] = named(new QRadioButton(kPresets[i], m_options), "Option1", i);
        m_presets[i]->setGeometry(12 + i * 90, 184, 80, 22);
        m_presets[i]->setEnabled(i == 1);
    }
    connect(m_presets[1], &QRadioButton::clicked, this, &Form8::applyCommonPreset);
    static const std::array<const char*, 2> kButtons{"确定", "关闭"};
    for (int i = 0; i < 2; ++i) {
        m_optionButtons[i] = named(new QPushButton(kButtons[i], m_options), "Command1", i);
        m_optionButtons[i]->setGeometry(290 + i * 64, 220, 58, 26);
    }
    connect(m_optionButtons[0], &QPushButton::clicked, this, &Form8::exportCards);
    connect(m_optionButtons[1], &QPushButton::clicked, m_options, &QWidget::hide);
    cancelOnEscape(m_optionButtons[1], m_options);
    m_options->hide();
}

void Form8::buildExportView() {
    m_view = named(new QGroupBox(this), "Frame3");
    m_view->setAutoFillBackground(true);
    m_exportText = named(new QPlainTextEdit(m_view), "Text2");
    m_exportText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_exportText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_exportText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont mono("WenQuanYi Micro Hei Mono");
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(9);
    m_exportText->setFont(mono);
    new GbkColumns(m_exportText->document(), mono);
    setBackground(m_exportText, kLightCyan);
    static const std::array<const char*, 2> kButtons{"打印", "关闭"};
    for (int i = 0; i < 2; ++i)
        m_viewButtons[i] = named(new QPushButton(kButtons[i], m_view), "Command2", i);
    connect(m_viewButtons[0], &QPushButton::clicked, this, [this] { Prompts::show(this, printNotSupportedNotice()); });
    connect(m_viewButtons[1], &QPushButton::clicked, this, &Form8::closeExportView);
    m_view->hide();
}

void Form8::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The export view covers the whole window, whichever width it has.
    m_view->setGeometry(rect());
    m_exportText->setGeometry(6, 6, width() - 12, height() - 46);
    for (int i = 0; i < 2; ++i)
        m_viewButtons[i]->setGeometry(width() - 140 + i * 68, height() - 34, 62, 26);
}

void Form8::setWidthTwips(int twips) {
    resize(twipsToPx(twips), height());
}

void Form8::Form_Load() {
    m_edited = false;
    setWidthTwips(kCardWidthTwips);
    zpfilename = std::string(kNoPhoto);
    const CardLoad loaded = m_book.load();
    m_current = 1;
    if (loaded.error)
        Prompts::show(this, loaded.missing ? writeFailureNotice(*loaded.error) : readFailureNotice(*loaded.error));
    if (loaded.missing) {
        // An empty book opens an empty card 1 for entry.
        setBoxesLocked(false);
        return;
    }
    for (int k = 1; k <= m_book.count(); ++k)
        setListEntry(k - 1, QString::fromStdString(loaded.nicknames[k - 1]));
    paintBoxes(0, 12, kBrowseColour);
    ShowCard();
}

void Form8::ShowCard() {
    m_list->setEditText(listEntry(m_current - 1));
    for (int i = 0; i < kCardEntryFields; ++i)
        setBoxText(i, m_book.field(m_current, i + 1));
    if (!loadPhoto(m_book.field(m_current, kPhotoField))) {
        m_book.setPhotoField(m_current, kNoPhoto);
        ShowCard();
        return;
    }
    zpfilename = m_book.field(m_current, kPhotoField);
}

bool Form8::storeCardOnScreen() {
    CardEntries texts;
    for (int i = 0; i < kCardEntryFields; ++i)
        texts[i] = m_boxes[i]->text().toStdString();
    if (std::optional<Notice> refusal = m_book.storeCard(m_current, texts, zpfilename)) {
        Prompts::show(this, *refusal);
        return false;
    }
    return true;
}

bool Form8::loadPhoto(const std::string& name) {
    QPixmap picture;
    std::optional<std::filesystem::path> path = m_book.photoPath(name);
    if (path)
        picture.load(QString::fromStdString(pathToUtf8(*path)));
    if (picture.isNull() && name == kNoPhoto)
        picture = defaultPortrait(); // moren.gif is missing or damaged
    if (picture.isNull())
        return false;
    m_photo->setPixmap(picture.scaled(m_photo->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return true;
}

void Form8::showPhoto(const std::string& name) {
    m_edited = m_edited || editing(1);
    if (loadPhoto(name)) {
        zpfilename = name;
        return;
    }
    loadPhoto(std::string(kNoPhoto));
    zpfilename = std::string(kNoPhoto);
}

void Form8::setBoxText(int box, const std::string& text) {
    // A value longer than its box (written by hand into the file) is shown whole and kept whole; typing
    // cannot make it longer.
    const QString value = QString::fromStdString(text);
    m_boxes[box]->setMaxLength(std::max<int>(cardFields()[box].width, static_cast<int>(value.size())));
    m_boxes[box]->setText(value);
    m_boxes[box]->setCursorPosition(0); // a long value shows its start
}

void Form8::setBoxesLocked(bool locked) {
    for (int i = 1; i <= 12; ++i)
        m_boxes[i]->setReadOnly(locked);
    m_timer->start(0);
}

void Form8::paintBoxes(int first, int last, const QColor& colour) {
    for (int i = first; i <= last; ++i)
        setBackground(m_boxes[i], colour);
}

bool Form8::editing(int box) const {
    return !m_boxes[box]->isReadOnly();
}

QString Form8::listEntry(int index) const {
    return index >= 0 && index < m_list->count() ? m_list->itemText(index) : QString();
}

void Form8::setListEntry(int index, const QString& text) {
    if (index < m_list->count())
        m_list->setItemText(index, text);
    else
        m_list->addItem(text);
}

bool Form8::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_list || watched == m_list->lineEdit()) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            searchList();
            return true;
        }
        return false;
    }
    auto it = std::find(m_boxes.begin(), m_boxes.end(), watched);
    if (it == m_boxes.end())
        return QWidget::eventFilter(watched, event);
    const int box = static_cast<int>(it - m_boxes.begin());
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        boxFocus(box, event->type() == QEvent::FocusIn);
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            boxClicked(box);
        break;
    case QEvent::KeyPress:
        return boxKey(box, static_cast<QKeyEvent*>(event)->key());
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form8::boxFocus(int box, bool gained) {
    if (!gained)
        paintBoxes(1, 12, editing(1) ? kEditColour : kBrowseColour);
    else if (!editing(box))
        paintBoxes(0, 12, kBrowseColour);
    else
        setBackground(m_boxes[box], kFocusColour);
}

void Form8::boxClicked(int box) {
    if (editing(box) || box < 10)
        return;
    const std::string text = m_boxes[box]->text().toStdString();
    std::optional<std::string> link = box == 10 ? mailLinkFor(text) : webLinkFor(text);
    if (!link)
        return;
    const QUrl url(QString::fromStdString(*link), QUrl::TolerantMode);
    // Opened only as a mail or web link through the desktop's own handler, never as a file or program.
    if (url.isValid() && (url.scheme() == "mailto" || url.scheme() == "http" || url.scheme() == "https"))
        shellOpenUrl(url);
}

bool Form8::boxKey(int box, int key) {
    if (key != Qt::Key_Down && key != Qt::Key_Up)
        return false;
    // Down runs 0 → 1 … 12 → 1; Up runs 12 … 1 → 12, and from box 0 also to box 12.
    int next = key == Qt::Key_Down ? box + 1 : box - 1;
    if (next > 12)
        next = 1;
    if (next < 1)
        next = 12;
    m_boxes[next]->setFocus(Qt::OtherFocusReason);
    return true;
}

void Form8::tick() {
    const bool browsing = !editing(10);
    for (int i = 10; i <= 12; ++i)
        m_boxes[i]->setCursor(browsing ? m_linkCursor : QCursor(Qt::IBeamCursor));
    m_photo->setCursor(browsing ? QCursor(Qt::ArrowCursor) : m_linkCursor);
}
