// Form8's drop target: a vCard file dropped onto the window is imported into the book after a question.
#include "addressbook/address_book_window.h"
#include "addressbook/card_notices.h"
#include "addressbook/card_vcard_import.h"
#include "common/data_paths.h"
#include "common/safe_write.h"
#include "ui/ui_prompts.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include <optional>

namespace {

// The first local file of the drag whose name ends in ".vcf" (any case), or nothing.
std::optional<std::filesystem::path> droppedVCard(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return std::nullopt;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && url.toLocalFile().endsWith(".vcf", Qt::CaseInsensitive))
            return pathFromUtf8(url.toLocalFile().toStdString());
    return std::nullopt;
}

} // namespace

// While a card of the book is being edited the book is not reloaded under it; the empty card of an empty book
// (open for entry) may be replaced.
bool Form8::takesDrops() const {
    return !editing(1) || m_book.count() == 0;
}

void Form8::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedVCard(event->mimeData()) && takesDrops())
        event->acceptProposedAction();
}

void Form8::dropEvent(QDropEvent* event) {
    const std::optional<std::filesystem::path> file = droppedVCard(event->mimeData());
    if (!file || !takesDrops())
        return;
    event->acceptProposedAction();
    Result<std::string> bytes = readFileBytes(*file);
    if (!bytes) {
        Prompts::show(this, readFailureNotice(bytes.error()));
        return;
    }
    const int count = countVCards(*bytes);
    if (count == 0) {
        Prompts::show(this, noCardsInFileNotice(pathToUtf8(*file)));
        return;
    }
    if (Prompts::show(this, importCardsQuestion(count)) != NoticeAnswer::Yes)
        return;
    const PictureDecoder decodes = [](std::string_view picture) {
        return !QImage::fromData(reinterpret_cast<const uchar*>(picture.data()), static_cast<int>(picture.size()))
                    .isNull();
    };
    Result<CardImportReport> report = importVCards(m_book, *bytes, decodes);
    if (!report) {
        Prompts::show(this, writeFailureNotice(report.error()));
        return;
    }
    setBoxesLocked(true);
    paintBoxes(1, 12, kBrowseColour);
    Form_Load();
    Prompts::show(this, importCardsSummary(report->imported, report->skipped.size(), report->refused.size(),
                                           report->changed.size(), report->leftOut.size(), report->doubts.size()));
}
