#include "addressbook/photo_picker_window.h"

#include "addressbook/address_book_window.h"
#include "addressbook/card_pictures.h"
#include "addressbook/photo_import.h"
#include "common/data_paths.h"
#include "common/result.h"
#include "platform/volumes.h"
#include "ui/program.h"
#include "ui/twips.h"
#include "ui/ui_event_label.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>

namespace fs = std::filesystem;

namespace {

QString qtPath(const fs::path& path) {
    return QString::fromStdString(pathToUtf8(path));
}

// The folder itself when it exists, else its nearest existing parent (a missing photo folder is created
// only when a photo is copied into it).
QString existingFolder(fs::path folder) {
    std::error_code ec;
    while (!folder.empty() && !fs::is_directory(folder, ec) && folder.has_relative_path())
        folder = folder.parent_path();
    return qtPath(folder);
}

} // namespace

Form11::Form11(ProgramHost& app, QWidget* parent)
    : QWidget(parent), m_app(app), m_photoFolder(dataPath({"txl", "txlphoto"})) {
    setObjectName("Form11");
    setWindowTitle(QString("☆Quillet>>打开文件") + QString(18, ' ') + "Orlin工作室");
    setFixedSize(twipsToPx(7170), twipsToPx(5580));
    setMouseTracking(true);
    buildLists();
    buildPathRow();
    fillDrives();
    setFolder(QDir::currentPath());
}

void Form11::buildLists() {
    m_frame = named(new QGroupBox(this), "Frame1");
    m_frame->setGeometry(twipsRect(90, 60, 6990, 4950));
    m_drives = named(new QComboBox(m_frame), "Drive1");
    m_drives->setGeometry(twipsRect(120, 240, 2535, 360));
    connect(m_drives, &QComboBox::activated, this, &Form11::driveChosen);
    m_dirs = named(new QListWidget(m_frame), "Dir1");
    m_dirs->setGeometry(twipsRect(120, 690, 2535, 4080));
    connect(m_dirs, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setFolder(item->data(Qt::UserRole).toString()); });
    m_patterns = named(new QComboBox(m_frame), "Combo1");
    m_patterns->setGeometry(twipsRect(2775, 240, 4095, 360));
    m_patterns->setEditable(true);
    m_patterns->setInsertPolicy(QComboBox::NoInsert);
    m_patterns->setCompleter(nullptr);
    m_patterns->addItems({"*.txt", "*.dat", "*.doc", "*.rtf", "*.wps", "*.xls", "*.mdb", "*.dbf", "*.*"});
    m_patterns->setEditText("*.*");
    connect(m_patterns, &QComboBox::activated, this, [this] { setPattern(m_patterns->currentText()); });
    connect(m_patterns->lineEdit(), &QLineEdit::returnPressed, this, [this] { setPattern(m_patterns->currentText()); });
    m_files = named(new QListWidget(m_frame), "File1");
    m_files->setGeometry(twipsRect(2775, 690, 4095, 4050));
    connect(m_files, &QListWidget::itemSelectionChanged, this, &Form11::fileSelected);
    connect(m_files, &QListWidget::itemDoubleClicked, this, [this] {
        fileSelected();
        confirm();
    });
}

void Form11::buildPathRow() {
    m_path = named(new QLineEdit(this), "Text1");
    m_path->setGeometry(twipsRect(90, 5100, 5895, 360));
    m_button = named(new EventLabel(this), "Image1");
    m_button->setPixmap(confirmButtonPicture(false));
    m_button->setGeometry(twipsRect(6000, 5085, 1080, 390)); // right edge in line with Frame1's
    m_button->setMouseTracking(true);
    m_buttonLit = named(new EventLabel(this), "Image2");
    m_buttonLit->setPixmap(confirmButtonPicture(true));
    m_buttonLit->setGeometry(m_button->geometry());
    m_buttonLit->hide();
    connect(m_button, &EventLabel::entered, m_buttonLit, &QWidget::show);
    connect(m_button, &EventLabel::moved, m_buttonLit, &QWidget::show);
    connect(m_buttonLit, &EventLabel::left, m_buttonLit, &QWidget::hide);
    connect(m_buttonLit, &EventLabel::clicked, this, &Form11::confirm);
}

void Form11::mouseMoveEvent(QMouseEvent* event) {
    m_buttonLit->hide();
    QWidget::mouseMoveEvent(event);
}

void Form11::openForPhoto(Form8* book) {
    m_book = book;
    order = 1;
    if (book)
        m_photoFolder = book->cards().photoFolder();
    setFolder(existingFolder(m_photoFolder));
    m_patterns->setEditText("*.jpg");
    setPattern("*.jpg");
    show();
    raise();
    activateWindow();
}

void Form11::fillDrives() {
    m_drives->clear();
    for (const std::string& volume : mountedVolumes())
        m_drives->addItem(QString::fromStdString(volume));
}

void Form11::selectDriveOf(const QString& path) {
    // The volume holding the folder: the longest one that the path lies in.
    int best = -1;
    for (int i = 0; i < m_drives->count(); ++i) {
        const QString root = m_drives->itemText(i);
        const bool inside = path == root || path.startsWith(root.endsWith('/') ? root : root + '/');
        if (inside && (best < 0 || root.size() > m_drives->itemText(best).size()))
            best = i;
    }
    if (best >= 0)
        m_drives->setCurrentIndex(best);
}

void Form11::driveChosen(int index) {
    const QString root = m_drives->itemText(index);
    std::error_code ec;
    fs::directory_iterator probe(pathFromUtf8(root.toStdString()), ec);
    if (ec) {
        // The drive cannot be read: say why, and stay in the folder shown.
        Prompts::show(this, Notice{"警告", systemReason(ec.value()), NoticeIcon::Exclamation, NoticeButtons::Ok});
        selectDriveOf(m_folder);
        return;
    }
    setFolder(root);
}

void Form11::setFolder(const QString& path) {
    const QString folder = QDir::cleanPath(QDir(path).absolutePath());
    if (!QDir(folder).exists())
        return;
    m_folder = folder;
    selectDriveOf(m_folder);
    fillFolders();
    fillFiles();
    m_path->setText(QString::fromStdString(pickerPathText(m_folder.toStdString(), "")));
}

void Form11::fillFolders() {
    // The open folder and its parents, each indented one step deeper, then its subfolders.
    m_dirs->clear();
    QStringList chain;
    for (QDir dir(m_folder);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    auto add = [this](const QString& path, int depth, const QString& name) {
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + name, m_dirs);
        item->setData(Qt::UserRole, path);
        return item;
    };
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QString name = depth == 0 ? chain[0] : QDir(chain[depth]).dirName();
        QListWidgetItem* item = add(chain[depth], depth, name);
        if (depth == chain.size() - 1)
            m_dirs->setCurrentItem(item);
    }
    const QDir current(m_folder);
    for (const QString& sub : current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        add(current.filePath(sub), static_cast<int>(chain.size()), sub);
}

void Form11::setPattern(const QString& pattern) {
    m_pattern = pattern.trimmed().isEmpty() ? QString("*.*") : pattern.trimmed();
    fillFiles();
}

void Form11::fillFiles() {
    m_files->clear();
    QStringList filters = m_pattern.split(';', Qt::SkipEmptyParts);
    for (QString& filter : filters)
        if (filter.trimmed() == "*.*")
            filter = "*"; // every file, also those without an extension
    m_files->addItems(QDir(m_folder).entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void Form11::fileSelected() {
    const QList<QListWidgetItem*> chosen = m_files->selectedItems();
    if (!chosen.isEmpty())
        m_path->setText(
            QString::fromStdString(pickerPathText(m_folder.toStdString(), chosen[0]->text().toStdString())));
}

void Form11::confirm() {
    const std::string pathText = m_path->text().toStdString();
    if (order != 1 || pathTextNamesFolder(pathText))
        return;
    // A file that is no picture is refused before it reaches the photo folder.
    const auto isPicture = [](std::string_view bytes) {
        return !QImage::fromData(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()))).isNull();
    };
    const PhotoImport imported = importPhoto(m_photoFolder, pathFromUtf8(m_folder.toStdString()), pathText, isPicture);
    if (imported.failure) {
        Prompts::show(this, *imported.failure);
        return;
    }
    Form8* book = m_app.windowAs<Form8>(WindowId::Form8);
    if (!book)
        book = m_book;
    if (book)
        book->showPhoto(imported.name);
    close();
}
