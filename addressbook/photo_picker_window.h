#pragma once
// Form11, the small file-open window ("打开文件") through which the address book takes a card's photo: a
// drive list (the mounted volumes), a folder list, a file list with its pattern box and the path box. The
// confirm picture copies the chosen file into the photo folder and hands its name to the address book.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <filesystem>

class ProgramHost;
class Form8;
class EventLabel;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

class Form11 : public QWidget {
    Q_OBJECT
public:
    explicit Form11(ProgramHost& app, QWidget* parent = nullptr);

    // What the picker was opened for; confirming works only for 1 (a card photo).
    int16_t order = 0;

    // The address book's opening: order 1, the photo folder, the pattern "*.jpg", shown (not modal).
    void openForPhoto(Form8* book);
    // Moves the folder list; the file list follows and the path box shows the folder.
    void setFolder(const QString& path);
    const QString& folder() const { return m_folder; }
    // Copies the file of the path box into the photo folder (unless it is there) and gives it to the card.
    void confirm();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildLists();
    void buildPathRow();
    void fillDrives();
    void driveChosen(int index);
    void selectDriveOf(const QString& path);
    void fillFolders();
    void setPattern(const QString& pattern);
    void fillFiles();
    void fileSelected();

    ProgramHost& m_app;
    QPointer<Form8> m_book;
    std::filesystem::path m_photoFolder;
    QString m_folder;
    QString m_pattern = "*.*";

    QGroupBox* m_frame = nullptr;
    QComboBox* m_drives = nullptr;
    QListWidget* m_dirs = nullptr;
    QComboBox* m_patterns = nullptr;
    QListWidget* m_files = nullptr;
    QLineEdit* m_path = nullptr;
    EventLabel* m_button = nullptr;
    EventLabel* m_buttonLit = nullptr;
};
