#include "addressbook/photo_import.h"

#include "addressbook/card_book.h"
#include "common/data_lock.h"
#include "common/data_paths.h"
#include "common/safe_write.h"

#include <algorithm>
#include <cctype>

namespace fs = std::filesystem;

namespace {

bool isSeparator(char c) {
    return c == '/' || c == static_cast<char>(fs::path::preferred_separator);
}

Notice missingFileNotice(std::string_view pathText) {
    return {"警告", "找不到文件:\n" + std::string(pathText), NoticeIcon::Exclamation, NoticeButtons::Ok};
}

Notice tooLargeNotice(std::string_view name) {
    return {"警告", "这个文件太大, 又不是图片, 不能用作名片照片:\n" + std::string(name), NoticeIcon::Exclamation,
            NoticeButtons::Ok};
}

// A file of any kind can be picked with "*.*"; one that is large and no picture is refused before it is read.
constexpr std::uintmax_t kLargestNonPicture = 4u << 20;

bool hasPictureExtension(const fs::path& file) {
    std::string ext = pathToUtf8(file.extension());
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".jpg" || ext == ".jpeg" || ext == ".png" || ext == ".bmp" || ext == ".gif";
}

Notice notPictureNotice(std::string_view name) {
    return {"警告", "这个文件不是图片, 不能用作名片照片:\n" + std::string(name), NoticeIcon::Exclamation,
            NoticeButtons::Ok};
}

Notice badNameNotice(std::string_view name) {
    return {"警告", "照片的文件名不能用作名片照片:\n" + std::string(name), NoticeIcon::Exclamation, NoticeButtons::Ok};
}

// True when the file already lies in the photo folder: the same folder after resolving links, dots,
// trailing separators, or the very file the copy would replace.
bool alreadyInFolder(const fs::path& source, const fs::path& folder, const fs::path& target) {
    std::error_code ec;
    const fs::path a = fs::weakly_canonical(source.parent_path(), ec);
    if (!ec) {
        const fs::path b = fs::weakly_canonical(folder, ec);
        if (!ec && a == b)
            return true;
    }
    return fs::exists(target, ec) && fs::equivalent(source, target, ec);
}

} // namespace

std::string pickerPathText(std::string_view folder, std::string_view fileName) {
    std::string text(folder);
    if (text.empty() || !isSeparator(text.back()))
        text += static_cast<char>(fs::path::preferred_separator);
    return text + std::string(fileName);
}

bool pathTextNamesFolder(std::string_view pathText) {
    return pathText.empty() || isSeparator(pathText.back());
}

PhotoImport importPhoto(const fs::path& photoFolder, const fs::path& listFolder, std::string_view pathText,
                        const std::function<bool(std::string_view bytes)>& isPicture) {
    PhotoImport result;
    fs::path source = pathFromUtf8(pathText);
    if (source.is_relative())
        source = listFolder / source;
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) {
        result.failure = missingFileNotice(pathText);
        return result;
    }
    result.name = pathToUtf8(source.filename());
    if (!isBarePhotoName(result.name) || CardBook::checkEntries({}, result.name)) {
        result.failure = badNameNotice(result.name);
        return result;
    }
    const fs::path target = photoFolder / source.filename();
    if (alreadyInFolder(source, photoFolder, target))
        return result;
    if (!hasPictureExtension(source) && fs::file_size(source, ec) > kLargestNonPicture && !ec) {
        result.failure = tooLargeNotice(result.name);
        return result;
    }
    Result<std::string> bytes = readFileBytes(source);
    if (!bytes) {
        result.failure = readFailureNotice(bytes.error());
        return result;
    }
    if (isPicture && !isPicture(*bytes)) {
        result.failure = notPictureNotice(result.name);
        return result;
    }
    // The photo folder lies in txl/ below the data folder; the copy is one step under its lock.
    Result<DataLock> lock = DataLock::take(dataFolderAbove(target, 2));
    Result<void> written = lock ? ensureFolder(photoFolder) : Result<void>(lock.error());
    if (written)
        written = writeFileAtomic(target, *bytes, FileAccess::Private);
    if (!written) {
        result.failure = writeFailureNotice(written.error());
        return result;
    }
    result.copied = true;
    return result;
}
