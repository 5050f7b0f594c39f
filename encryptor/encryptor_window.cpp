#include "encryptor/encryptor_window.h"

#include "common/data_paths.h"
#include "encryptor/folder_listing.h"
#include "platform/volumes.h"
#include "ui/program.h"
#include "ui/twips.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

namespace {

constexpr int kWidth = 480;
const QColor kButtonGrey{0xE0, 0xE0, 0xE0};
const QColor kButtonPink{0xFF, 0xC0, 0xC0};
const QColor kWhite{0xFF, 0xFF, 0xFF};

QString qs(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

Form10::Form10(ProgramHost& app, QWidget* parent)
    : QWidget(parent), m_app(app), m_model(mountedVolumes(), pathToUtf8(std::filesystem::current_path())) {
    setObjectName("Form10");
    setWindowTitle(qs(kEncryptorTitle));
    setMouseTracking(true);
    buildLists();
    buildPasswordPart();
    buildButtons();
    connectLists();
    paintButtons(-1);
    render();
    m_app.setStartupWindowEnabled(false);
}

Form10::~Form10() {
    // QWidget's destructor deletes the controls after the model is gone, and some still signal then (the
    // pattern box reports a pick when it loses the focus).
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
    m_app.setStartupWindowEnabled(true);
}

void Form10::buildLists() {
    m_drive1 = named(new QComboBox(this), "Drive1");
    m_drive1->setGeometry(10, 10, 190, 24);
    for (const std::string& volume : m_model.volumes())
        m_drive1->addItem(qs(volume));
    m_dir1 = named(new QListWidget(this), "Dir1");
    m_dir1->setGeometry(10, 40, 190, 130);
    m_file1 = named(new QListWidget(this), "File1");
    m_file1->setGeometry(10, 176, 190, 130);
    m_file1->viewport()->installEventFilter(this);
    m_combo1 = named(new QComboBox(this), "Combo1");
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setCompleter(nullptr);
    m_combo1->setGeometry(10, 312, 190, 24);
    for (const std::string& pattern : encryptorPatterns())
        m_combo1->addItem(qs(pattern));
    m_combo1->setEditText(qs(m_model.pattern()));
    m_text1 = named(new QPlainTextEdit(this), "Text1");
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setGeometry(10, 368, kWidth - 20, 96);
}

void Form10::buildPasswordPart() {
    const char* captions[] = {"输入密码", "密码确认", "操作对象", ""};
    for (int i = 0; i < 4; ++i)
        m_label1[i] = named(new QLabel(qs(captions[i]), this), "Label1", i);
    for (int i = 0; i < 2; ++i) {
        m_label1[i]->setGeometry(215, 12 + 32 * i, 62, 20);
        m_text2[i] = named(new QLineEdit(this), "Text2", i);
        maskWithStars(m_text2[i]);
        m_text2[i]->setGeometry(280, 10 + 32 * i, 190, 24);
        connect(m_text2[i], &QLineEdit::textEdited, this,
                [this, i](const QString& text) { m_model.setPassword(i, text.toStdString()); });
    }
    m_label1[2]->setGeometry(215, 84, 80, 20);
    m_label1[3]->setGeometry(215, 106, 255, 64);
    m_label1[3]->setWordWrap(true);
    m_label1[3]->setTextFormat(Qt::PlainText); // a file name is shown as it is, markup or not
    m_label1[3]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (int i = 0; i < 2; ++i) {
        m_line1[i] = named(new QFrame(this), "Line1", i);
        m_line1[i]->setFrameShape(QFrame::HLine);
        m_line1[i]->setFrameShadow(QFrame::Sunken);
        m_line1[i]->setGeometry(215, i == 0 ? 74 : 176, 255, 3);
    }
}

void Form10::buildButtons() {
    // Three rows: encrypt, decrypt, view; undo, redo; OK, clear.
    const QPoint places[] = {{215, 188}, {302, 188}, {389, 188}, {215, 226}, {302, 226}, {215, 264}, {302, 264}};
    for (int i = 0; i < kEncryptorButtonCount; ++i) {
        m_command1[i] = named(new QPushButton(qs(kEncryptorCaptions[i]), this), "Command1", i);
        m_command1[i]->setGeometry(places[i].x(), places[i].y(), 80, 28);
        m_command1[i]->setMouseTracking(true);
        m_command1[i]->installEventFilter(this);
        connect(m_command1[i], &QPushButton::clicked, this, [this, i] {
            tell(m_model.press(static_cast<EncryptorButton>(i)));
            render();
        });
    }
}

void Form10::connectLists() {
    connect(m_drive1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_syncing || index < 0)
            return;
        m_model.changeDrive(m_drive1->itemText(index).toStdString());
        render();
    });
    connect(m_dir1, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        // Changed once the list has finished with the item, since the change fills the list anew.
        const std::string folder = item->data(Qt::UserRole).toString().toStdString();
        QMetaObject::invokeMethod(
            this,
            [this, folder] {
                m_model.changeFolder(folder);
                render();
            },
            Qt::QueuedConnection);
    });
    connect(m_file1, &QListWidget::currentRowChanged, this, [this](int row) {
        // A mouse press is answered by the click that follows; keys move the selection on their own.
        if (!m_syncing && !m_mouseDownOnFiles && row >= 0)
            fileChosen();
    });
    connect(m_file1, &QListWidget::itemClicked, this, [this] { fileChosen(); });
    connect(m_combo1->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        m_model.typePattern(text.toStdString());
        render();
    });
    connect(m_combo1, &QComboBox::activated, this, [this](int index) {
        m_model.pickPattern(m_combo1->itemText(index).toStdString());
        render();
    });
}

void Form10::fileChosen() {
    QListWidgetItem* item = m_file1->currentItem();
    if (!item)
        return;
    tell(m_model.clickFile(item->text().toStdString()));
    render();
}

void Form10::tell(const std::optional<Notice>& notice) {
    if (notice)
        Prompts::show(this, *notice);
}

void Form10::render() {
    m_syncing = true;
    for (int i = 0; i < kEncryptorButtonCount; ++i)
        m_command1[i]->setEnabled(m_model.enabled(static_cast<EncryptorButton>(i)));
    paintButtons(m_pink);
    m_command1[static_cast<int>(EncryptorButton::View)]->setText(qs(m_model.viewCaption()));
    for (int i = 0; i < 2; ++i) {
        m_text2[i]->setEnabled(m_model.passwordsEnabled());
        setBackground(m_text2[i], m_model.passwordColour() == PasswordColour::White ? kWhite : kLightCyan);
        if (m_text2[i]->text() != qs(m_model.password(i)))
            m_text2[i]->setText(qs(m_model.password(i)));
    }
    m_label1[3]->setText(qs(m_model.chosen()));
    // The list entry that equals the pattern stays current, so that leaving the box is not taken for a pick.
    if (int entry = m_combo1->findText(qs(m_model.pattern())); entry >= 0 && entry != m_combo1->currentIndex())
        m_combo1->setCurrentIndex(entry);
    if (m_combo1->currentText() != qs(m_model.pattern()))
        m_combo1->setEditText(qs(m_model.pattern()));
    if (m_drive1->currentText() != qs(m_model.drive()))
        m_drive1->setCurrentIndex(m_drive1->findText(qs(m_model.drive())));
    if (m_shownView != m_model.viewText()) {
        m_shownView = m_model.viewText();
        m_text1->setPlainText(qs(m_shownView).replace("\r\n", "\n"));
    }
    setFixedSize(kWidth, twipsToPx(m_model.heightTwips()));
    if (m_shownListing != m_model.listingVersion())
        refreshLists();
    m_syncing = false;
    if (m_model.takeFocusRequest())
        m_text2[0]->setFocus();
}

// The folder list shows the folders from the drive down to the current one, then its subfolders (a
// double click or Enter opens one); the file list the matching files, with the selected one marked.
void Form10::refreshLists() {
    m_shownListing = m_model.listingVersion();
    m_dir1->clear();
    const std::vector<std::string> chain = m_model.folderChain();
    for (std::size_t depth = 0; depth < chain.size(); ++depth) {
        const std::string& path = chain[depth];
        QString name = depth == 0 ? qs(path) : qs(pathToUtf8(std::filesystem::path(path).filename()));
        auto* item = new QListWidgetItem(QString(int(depth) * 2, ' ') + name, m_dir1);
        item->setData(Qt::UserRole, qs(path));
    }
    m_dir1->setCurrentRow(m_dir1->count() - 1);
    for (const std::string& sub : m_model.subfolders()) {
        auto* item = new QListWidgetItem(QString(int(chain.size()) * 2, ' ') + qs(sub), m_dir1);
        item->setData(Qt::UserRole, qs(joinFolder(m_model.folder(), sub)));
    }
    m_file1->clear();
    for (const std::string& name : m_model.files()) {
        auto* item = new QListWidgetItem(qs(name), m_file1);
        if (name == m_model.selectedFile())
            m_file1->setCurrentItem(item);
    }
}

void Form10::paintButtons(int pinkIndex) {
    // Only an enabled button under the pointer is pink; one disabled while pink (OK after its work) turns grey.
    m_pink = pinkIndex;
    for (int i = 0; i < kEncryptorButtonCount; ++i)
        setBackground(m_command1[i], i == pinkIndex && m_command1[i]->isEnabled() ? kButtonPink : kButtonGrey);
}

void Form10::mouseMoveEvent(QMouseEvent* e) {
    paintButtons(-1);
    QWidget::mouseMoveEvent(e);
}

bool Form10::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_file1->viewport()) {
        if (e->type() == QEvent::MouseButtonPress)
            m_mouseDownOnFiles = true;
        else if (e->type() == QEvent::MouseButtonRelease)
            m_mouseDownOnFiles = false;
        return QWidget::eventFilter(watched, e);
    }
    if (e->type() != QEvent::MouseMove && e->type() != QEvent::Enter)
        return QWidget::eventFilter(watched, e);
    for (int i = 0; i < kEncryptorButtonCount; ++i) {
        if (watched != m_command1[i] || !m_command1[i]->isEnabled())
            continue;
        paintButtons(i);
        // A button ignores a move without a pressed mouse button, which would then reach the window
        // background and turn every button grey again.
        return e->type() == QEvent::MouseMove && static_cast<QMouseEvent*>(e)->buttons() == Qt::NoButton;
    }
    return QWidget::eventFilter(watched, e);
}

void Form10::closeEvent(QCloseEvent* e) {
    m_app.setStartupWindowEnabled(true);
    QWidget::closeEvent(e);
}
