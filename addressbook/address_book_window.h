#pragma once
// Form8, the address book window: one business card at a time in 13 entry boxes with its photo, a list of
// all cards by nickname, and a toolbar that pages, edits, creates, saves, discards, searches and exports.
// The mode lives in the boxes' locked flags: browse while they are locked, edit while boxes 1..12 are not.
// A vCard file dropped onto the window is imported into the book.
#include "addressbook/card_book.h"

#include <QColor>
#include <QCursor>
#include <QPointer>
#include <QWidget>
#include <array>
#include <string>

class ProgramHost;
class Form11;
class EventLabel;
class QAction;
class QCheckBox;
class QDragEnterEvent;
class QDropEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolBar;

class Form8 : public QWidget {
    Q_OBJECT
public:
    // Window widths: the card view and, while it is shown, the export view.
    static constexpr int kCardWidthTwips = 6615;
    static constexpr int kExportWidthTwips = 10305;
    // Box colours (0x00BBGGRR in the designs): browse 0xFFFFC0, focused in edit mode 0xFFC0C0, edit 0xFFFFFF.
    static inline const QColor kBrowseColour{0xC0, 0xFF, 0xFF};
    static inline const QColor kFocusColour{0xC0, 0xC0, 0xFF};
    static inline const QColor kEditColour{0xFF, 0xFF, 0xFF};

    explicit Form8(ProgramHost& app, QWidget* parent = nullptr);
    ~Form8() override;

    // The photo name of the card on screen ("######" for none); the photo picker sets it.
    std::string zpfilename{kNoPhoto};

    // Loads the book and shows card 1 (the discard runs it again).
    void Form_Load();
    // Shows the named photo in Image1 and takes it as zpfilename; a photo that cannot be loaded shows the
    // default photo and zpfilename becomes "######".
    void showPhoto(const std::string& name);

    const CardBook& cards() const { return m_book; }
    int currentCard() const { return m_current; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Edits not saved yet are offered for saving first (是/否/取消).
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // A dropped vCard file is imported after a question (card_drop.cpp).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Layout (address_book_window.cpp).
    void buildToolbar();
    void buildList();
    void buildCard();
    void buildExportOptions();
    void buildExportView();

    bool takesDrops() const;

    // Commands (address_book_commands.cpp).
    void runCommand(const QString& key);
    // Stores the card on screen and shows another; false (and nothing moves) when the card is refused.
    bool goToCard(int card);
    void pageBy(int step);
    void editMode();
    void newCard();
    void saveCard();
    bool storeAndSave();
    bool newCardTyped() const;
    bool offerToSave();
    void discardCard();
    void showAllListEntries();
    void openPhotoPicker();
    void promptSearch();
    void showExportOptions();
    void pickFromList(int index);
    void searchList();
    void applyCommonPreset();
    void exportCards();
    void closeExportView();

    // Card on screen.
    void ShowCard();
    bool storeCardOnScreen();
    bool loadPhoto(const std::string& name);
    void setBoxText(int box, const std::string& text);
    void setBoxesLocked(bool locked);
    void paintBoxes(int first, int last, const QColor& colour);
    bool editing(int box) const;
    QString listEntry(int index) const;
    void setListEntry(int index, const QString& text);
    void setWidthTwips(int twips);

    // Events of the boxes and the timer.
    void boxFocus(int box, bool gained);
    void boxClicked(int box);
    bool boxKey(int box, int key);
    void tick();

    ProgramHost& m_app;
    CardBook m_book;
    int m_current = 1;
    bool m_edited = false; // a box was typed into or a photo picked since the book was loaded or saved
    QCursor m_linkCursor;

    QToolBar* m_toolbar = nullptr;
    QComboBox* m_list = nullptr;
    QGroupBox* m_card = nullptr;
    std::array<QLabel*, 14> m_captions{};
    std::array<QLineEdit*, kCardEntryFields> m_boxes{};
    EventLabel* m_photo = nullptr;
    QTimer* m_timer = nullptr;
    QGroupBox* m_options = nullptr;
    std::array<QCheckBox*, 14> m_checks{};
    std::array<QRadioButton*, 3> m_presets{};
    std::array<QPushButton*, 2> m_optionButtons{};
    QGroupBox* m_view = nullptr;
    QPlainTextEdit* m_exportText = nullptr;
    std::array<QPushButton*, 2> m_viewButtons{};
    QPointer<Form11> m_picker;
};
