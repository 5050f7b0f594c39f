#pragma once
// The photo picker's rules: the path box texts and the import of a chosen picture into the photo folder
// (txl/txlphoto), where the cards refer to it by its bare file name.
#include "common/notice.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The path box: folder + separator + file name. It ends in a separator while no file is chosen; a root
// folder already ends in one, so it is not doubled ("C:\", "/", "/a.jpg").
std::string pickerPathText(std::string_view folder, std::string_view fileName);
// True when the path box names a folder rather than a file (ends in a separator).
bool pathTextNamesFolder(std::string_view pathText);

struct PhotoImport {
    std::string name;              // the bare file name the card takes
    bool copied = false;           // a copy was written into the photo folder
    std::optional<Notice> failure; // nothing was imported (the card keeps its photo)
};

// Confirms the file named by the path box (relative paths are taken inside `listFolder`): it must be an
// existing file whose name a card can hold. Unless that file already lies in the photo folder (compared
// as canonical paths, or as the same file), it is copied there under its own name, replacing a file of
// that name. A failed copy leaves everything as it was. Bytes that `isPicture` (when given) does not take
// for a picture are refused before anything is written.
PhotoImport importPhoto(const std::filesystem::path& photoFolder, const std::filesystem::path& listFolder,
                        std::string_view pathText, const std::function<bool(std::string_view bytes)>& isPicture = {});
