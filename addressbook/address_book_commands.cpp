// The address book's toolbar commands, its card list and the export (Form8).
#include "addressbook/address_book_window.h"
#include "addressbook/card_export.h"
#include "addressbook/card_notices.h"
#include "addressbook/photo_picker_window.h"
#include "ui/twips.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <algorithm>

void Form8::runCommand(const QString& key) {
    if (key == "tqianyiye")
        pageBy(-1);
    else if (key == "thouyiye")
        pageBy(1);
    else if (key == "tbianjiye")
        editMode();
    else if (key == "txinjianye")
        newCard();
    else if (key == "tdiaoruzhaopian" && editing(1))
        openPhotoPicker();
    else if (key == "tbaocun")
        saveCard();
    else if (key == "tsousuo")
        promptSearch();
    else if (key == "tdaochu")
        showExportOptions();
    else if (key == "tdiuqi")
        discardCard();
    else if (key == "tguanbi")
        close();
}

bool Form8::goToCard(int card) {
    // A new card is in the book only once saved: leaving it with something typed asks first.
    if (newCardTyped() && !offerToSave())
        return false;
    if (!storeCardOnScreen())
        return false;
    m_current = card;
    ShowCard();
    return true;
}

void Form8::pageBy(int step) {
    const int count = m_book.count();
    int card = m_current + step;
    if (step < 0 && card == 0)
        card = count;
    if (step > 0 && card >= count + 1)
        card = 1;
    goToCard(std::max(card, 1)); // no cards: the empty card 1 stays
}

void Form8::editMode() {
    setBoxesLocked(false);
    paintBoxes(1, 12, kEditColour);
}

void Form8::newCard() {
    if (m_book.full()) {
        Prompts::show(this, bookFullNotice());
        return;
    }
    m_current = m_book.count() + 1;
    setBoxText(0, newSerialNumber(m_book.count()));
    for (int i = 1; i <= 12; ++i)
        setBoxText(i, "");
    editMode();
    zpfilename = std::string(kNoPhoto);
    loadPhoto(zpfilename);
    m_boxes[1]->setFocus(Qt::OtherFocusReason); // ready for the new card's first field
}

void Form8::saveCard() {
    if (!editing(1))
        return;
    if (Prompts::show(this, saveCardQuestion()) == NoticeAnswer::Yes)
        storeAndSave();
}

// Stores the card on screen and writes the book; false (edit mode stays) when refused or not written.
bool Form8::storeAndSave() {
    if (!storeCardOnScreen())
        return false;
    if (m_current > m_book.count()) {
        m_book.addCard();
        m_current = m_book.count(); // the row it was entered in
    }
    setListEntry(m_current - 1, QString::fromStdString(m_book.field(m_current, 2)));
    m_list->setEditText(listEntry(m_current - 1));
    CardMerge merge{m_current};
    const Result<void> saved = m_book.saveAll(&merge);
    if (merge.merged) {
        // The book now holds the file's cards with these edits: the list follows, the card stays in view.
        m_current = std::max(merge.follow, 1);
        showAllListEntries();
    }
    if (!saved) {
        Prompts::show(this, writeFailureNotice(saved.error()));
        return false; // edit mode stays, so the save can be tried again
    }
    m_edited = false;
    if (merge.merged)
        Prompts::show(this, cardsMergedNotice(merge.keptBoth));
    setBoxesLocked(true);
    paintBoxes(1, 12, kBrowseColour);
    ShowCard();
    return true;
}

bool Form8::newCardTyped() const {
    if (m_current <= m_book.count() || !editing(1))
        return false;
    return std::any_of(m_boxes.begin() + 1, m_boxes.end(), [](QLineEdit* box) { return !box->text().isEmpty(); });
}

// Before edits are dropped: 是 saves them (and goes on only when that worked), 否 drops them, 取消 goes back.
bool Form8::offerToSave() {
    return Prompts::offerToSave(this, unsavedCardQuestion(), [this] { return storeAndSave(); });
}

void Form8::closeEvent(QCloseEvent* event) {
    if ((m_edited || newCardTyped()) && !offerToSave())
        return event->ignore();
    QWidget::closeEvent(event);
}

void Form8::discardCard() {
    const int oldCount = m_book.count();
    if (m_current > oldCount)
        return;
    if (Prompts::show(this, discardCardQuestion()) != NoticeAnswer::Yes)
        return;
    bool gone = false;
    if (Result<void> done = m_book.discard(m_current, &gone); !done) {
        // A failed save leaves the card; a failed log puts it back: nothing was discarded either way.
        Prompts::show(this, writeFailureNotice(done.error()));
        return;
    }
    if (gone) {
        Prompts::show(this, cardGoneNotice());
        m_edited = false; // the book holds the file's cards now
        m_current = 1;
        showAllListEntries();
        ShowCard();
        return;
    }
    showAllListEntries(); // the entry of the last card becomes blank
    Form_Load();
}

void Form8::showAllListEntries() {
    for (int k = 1; k <= m_book.count(); ++k)
        setListEntry(k - 1, QString::fromStdString(m_book.field(k, 2)));
    for (int i = m_list->count() - 1; i >= m_book.count(); --i)
        setListEntry(i, QString());
}

void Form8::openPhotoPicker() {
    if (!m_picker) {
        m_picker = new Form11(m_app);
        m_picker->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_picker->openForPhoto(this);
}

void Form8::promptSearch() {
    m_list->setFocus(Qt::OtherFocusReason);
    m_list->setEditText("请输入[姓名],然后回车确认!");
    m_list->lineEdit()->selectAll();
}

void Form8::pickFromList(int index) {
    if (m_list->currentText().isEmpty()) {
        m_list->setEditText(m_boxes[1]->text());
        Prompts::show(this, blankEntryNotice());
        return;
    }
    goToCard(index + 1);
}

void Form8::searchList() {
    // Every entry is compared, so of several equal nicknames the last card is shown.
    const QString wanted = m_list->currentText();
    for (int i = 0; i < m_list->count() && i < m_book.count(); ++i) {
        if (m_list->itemText(i) == wanted && !goToCard(i + 1))
            return;
    }
}

void Form8::showExportOptions() {
    m_options->show();
    m_options->raise();
    m_presets[1]->setChecked(true);
    applyCommonPreset();
    m_optionButtons[0]->setFocus(Qt::OtherFocusReason); // the keys go to the panel: Enter exports, Esc closes
}

void Form8::applyCommonPreset() {
    for (int i = 0; i < kCardEntryFields; ++i) {
        const bool common = i == 0 || (i >= 2 && i <= 7);
        m_checks[i]->setChecked(common);
        m_checks[i]->setEnabled(common);
    }
}

void Form8::exportCards() {
    std::vector<int> fields;
    for (int i = 0; i < kCardEntryFields; ++i)
        if (m_checks[i]->isChecked())
            fields.push_back(i + 1);
    Result<std::string> text = m_book.exportCards(fields);
    if (!text) {
        Prompts::show(this, writeFailureNotice(text.error()));
        return;
    }
    m_exportText->setPlainText(QString::fromStdString(*text).replace("\r\n", "\n"));
    m_view->show();
    m_view->raise();
    setWidthTwips(kExportWidthTwips);
    m_options->hide();
}

void Form8::closeExportView() {
    setWidthTwips(kCardWidthTwips);
    m_exportText->clear();
    m_view->hide();
}
