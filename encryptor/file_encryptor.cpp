#include "encryptor/file_encryptor.h"

#include "common/data_paths.h"
#include "encryptor/folder_listing.h"
#include "encryptor/lok_file.h"
#include "encryptor/lok_name.h"

#include <filesystem>
#include <utility>

namespace fs = std::filesystem;

namespace {

Notice noFileChosen() {
    return {"警告", "请先选择操作文件对象", NoticeIcon::Exclamation, NoticeButtons::Ok};
}

bool isWithin(const std::string& folder, const std::string& volume) {
    fs::path relative = pathFromUtf8(folder).lexically_relative(pathFromUtf8(volume));
    return !relative.empty() && *relative.begin() != "..";
}

// The volume holding `folder`: the longest one that contains it, else the first.
std::string volumeHolding(const std::vector<std::string>& volumes, const std::string& folder) {
    std::string best;
    for (const std::string& v : volumes)
        if (isWithin(folder, v) && v.size() > best.size())
            best = v;
    return best.empty() && !volumes.empty() ? volumes.front() : best;
}

} // namespace

const std::vector<std::string>& encryptorPatterns() {
    static const std::vector<std::string> patterns = {"*.*",   "*.doc", "*.txt", "*.rtf", "*.bmp", "*.jpg",
                                                      "*.gif", "*.dat", "*.nsf", "*.mdb", "*.cjf", "*.wps",
                                                      "*.dbf", "*.xls", "*.pps", "*.ppf", "*.lok"};
    return patterns;
}

FileEncryptor::FileEncryptor(std::vector<std::string> volumes, const std::string& workDir)
    : m_volumes(std::move(volumes)), m_folder(workDir) {
    if (m_volumes.empty())
        m_volumes.push_back(workDir);
    m_drive = volumeHolding(m_volumes, workDir);
    rebuildChosen();
}

std::vector<std::string> FileEncryptor::folderChain() const {
    if (!isWithin(m_folder, m_drive))
        return {m_folder};
    std::vector<std::string> chain{m_drive};
    fs::path current = pathFromUtf8(m_drive);
    for (const fs::path& part : pathFromUtf8(m_folder).lexically_relative(current)) {
        if (part == ".")
            continue;
        current /= part;
        chain.push_back(pathToUtf8(current));
    }
    return chain;
}

std::vector<std::string> FileEncryptor::subfolders() const {
    return listSubfolders(pathFromUtf8(m_folder));
}

std::vector<std::string> FileEncryptor::files() const {
    return listMatchingFiles(pathFromUtf8(m_folder), m_pattern);
}

bool FileEncryptor::hasChosenFile() const {
    std::string_view caption = m_chosen;
    while (!caption.empty() && caption.back() == ' ')
        caption.remove_suffix(1);
    return !caption.empty() && caption.back() != static_cast<char>(fs::path::preferred_separator);
}

std::string FileEncryptor::viewCaption() const {
    return m_viewOpen ? kViewCloseCaption : kEncryptorCaptions[index(EncryptorButton::View)];
}

bool FileEncryptor::takeFocusRequest() {
    return std::exchange(m_focusRequest, false);
}

void FileEncryptor::rebuildChosen() {
    m_chosen = joinFolder(m_folder, m_selected);
}

void FileEncryptor::enableByName(const std::string& name) {
    const bool lok = isLokName(name);
    enable(EncryptorButton::Encrypt, !lok);
    enable(EncryptorButton::Decrypt, lok);
}

bool FileEncryptor::changeDrive(const std::string& drive) {
    if (!folderReadable(pathFromUtf8(drive)))
        return false;
    m_drive = drive;
    changeFolder(drive);
    m_chosen = joinFolder(drive, "");
    return true;
}

void FileEncryptor::changeFolder(const std::string& folder) {
    m_folder = folder;
    m_selected.clear();
    ++m_listingVersion;
    rebuildChosen();
    disableAll();
}

// The file list reads the folder again under the new pattern and loses its selection.
void FileEncryptor::setPattern(const std::string& pattern) {
    m_pattern = pattern;
    m_selected.clear();
    ++m_listingVersion;
    rebuildChosen();
}

void FileEncryptor::typePattern(const std::string& pattern) {
    setPattern(pattern);
    // With the choice gone nothing is left to show or act on: the view shuts, the password boxes empty and
    // every button waits for the next file, as after a folder change.
    disableAll();
    m_passwordsEnabled = false;
    m_colour = PasswordColour::LightCyan;
    m_passwords = {};
    m_viewOpen = false;
    m_viewText.clear();
}

void FileEncryptor::pickPattern(const std::string& pattern) {
    typePattern(pattern);
}

std::optional<Notice> FileEncryptor::clickFile(const std::string& name) {
    m_selected = name;
    rebuildChosen();
    enable(EncryptorButton::View, true);
    enableByName(name);
    for (EncryptorButton b :
         {EncryptorButton::Undo, EncryptorButton::Redo, EncryptorButton::Ok, EncryptorButton::Clear})
        enable(b, false);
    m_colour = PasswordColour::LightCyan;
    m_passwords = {};
    if (!m_viewOpen)
        return std::nullopt;
    m_viewOpen = false;
    return toggleView();
}

void FileEncryptor::setPassword(int box, const std::string& text) {
    m_passwords[box == 0 ? 0 : 1] = text;
}

std::optional<Notice> FileEncryptor::press(EncryptorButton b) {
    if (!enabled(b))
        return std::nullopt;
    switch (b) {
    case EncryptorButton::Encrypt:
    case EncryptorButton::Decrypt:
        return prepare();
    case EncryptorButton::View:
        return toggleView();
    case EncryptorButton::Undo:
        return repeatWithLastPassword(EncryptorButton::Undo, EncryptorButton::Redo);
    case EncryptorButton::Redo:
        return repeatWithLastPassword(EncryptorButton::Redo, EncryptorButton::Undo);
    case EncryptorButton::Ok:
        return ok();
    case EncryptorButton::Clear:
        m_passwords = {};
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Notice> FileEncryptor::prepare() {
    if (!hasChosenFile())
        return noFileChosen();
    m_colour = PasswordColour::White;
    enable(EncryptorButton::Ok, true);
    enable(EncryptorButton::Clear, true);
    m_passwords = {};
    m_passwordsEnabled = true;
    m_focusRequest = true;
    return std::nullopt;
}

std::optional<Notice> FileEncryptor::toggleView() {
    if (!hasChosenFile())
        return noFileChosen();
    m_viewText.clear();
    m_viewOpen = !m_viewOpen;
    if (!m_viewOpen)
        return std::nullopt;
    Result<std::string> text = lokViewText(pathFromUtf8(m_chosen));
    if (!text) {
        m_viewOpen = false; // nothing to show: the view stays shut
        return readFailureNotice(text.error());
    }
    m_viewText = std::move(*text);
    return std::nullopt;
}

// The operation itself. Nothing changes (not even the last password) unless the file was converted.
std::optional<Notice> FileEncryptor::ok(bool* converted) {
    if (converted)
        *converted = false;
    if (std::optional<Notice> problem = lokPasswordProblem(m_passwords[0], m_passwords[1]))
        return problem;
    LokOutcome outcome = convertLokFile(pathFromUtf8(m_chosen), m_passwords[0]);
    if (outcome.failure)
        return outcome.failure;
    m_lastPassword = m_passwords[0];
    if (converted)
        *converted = true;
    const std::string newName = pathToUtf8(outcome.target.path.filename());
    setPattern(outcome.target.scrambling ? "*.lok" : "*." + std::string(fileExtension(newName)));
    m_chosen = pathToUtf8(outcome.target.path);
    std::optional<Notice> viewProblem;
    if (m_viewOpen) {
        m_viewOpen = false;
        viewProblem = toggleView();
    }
    const bool encryptWasOn = enabled(EncryptorButton::Encrypt);
    enable(EncryptorButton::Encrypt, !encryptWasOn);
    enable(EncryptorButton::Decrypt, encryptWasOn);
    enable(EncryptorButton::Undo, true);
    for (EncryptorButton b : {EncryptorButton::Redo, EncryptorButton::Ok, EncryptorButton::Clear})
        enable(b, false);
    m_colour = PasswordColour::LightCyan;
    m_passwords = {};
    m_passwordsEnabled = false;
    return viewProblem;
}

// Undo and redo: the last password in both boxes and OK again; the cipher pass undoes itself and the name
// rule runs the other way on the file under its new name. The two buttons swap only when that worked.
std::optional<Notice> FileEncryptor::repeatWithLastPassword(EncryptorButton from, EncryptorButton to) {
    const std::array<std::string, 2> typed = m_passwords;
    m_passwords = {m_lastPassword, m_lastPassword};
    bool converted = false;
    std::optional<Notice> notice = ok(&converted);
    if (!converted) {
        m_passwords = typed;
        return notice;
    }
    enable(to, true);
    enable(from, false);
    return notice;
}
