#pragma once
// The file encryptor's rules (window Form10): browsing to a file, the button states, the password boxes,
// the view of the file's text, and undo and redo with the last password. The window shows these members
// and forwards its control events here; every message it shows comes back from these calls.
#include "common/notice.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// Command1(0) to Command1(6), in index order.
enum class EncryptorButton { Encrypt, Decrypt, View, Undo, Redo, Ok, Clear };
inline constexpr int kEncryptorButtonCount = 7;
inline constexpr std::array<const char*, kEncryptorButtonCount> kEncryptorCaptions = {
    "加  密", "解  密", "查  看", "撤  销", "重  做", "确  定", "清  空"};
inline constexpr const char* kViewCloseCaption = "关闭查看";
inline constexpr const char* kEncryptorTitle = "☆Quillet>>加密器                  Orlin工作室";
inline constexpr int kEncryptorHeightTwips = 5415;
inline constexpr int kEncryptorViewHeightTwips = 7095; // with the view box below
inline constexpr const char* kInitialPattern = "*.txt";

enum class PasswordColour { White, LightCyan };

// The entries of the pattern list.
const std::vector<std::string>& encryptorPatterns();

class FileEncryptor {
public:
    // `volumes` are the drives to offer; the lists start at `workDir` on the volume that holds it.
    FileEncryptor(std::vector<std::string> volumes, const std::string& workDir);

    // Browsing.
    const std::vector<std::string>& volumes() const { return m_volumes; }
    const std::string& drive() const { return m_drive; }
    const std::string& folder() const { return m_folder; }
    // The folders from the drive down to the current folder, as the folder list shows them above the
    // current folder's subfolders.
    std::vector<std::string> folderChain() const;
    std::vector<std::string> subfolders() const;
    std::vector<std::string> files() const;
    const std::string& pattern() const { return m_pattern; }
    const std::string& selectedFile() const { return m_selected; }
    // Grows whenever the folder or file list has to be read again.
    int listingVersion() const { return m_listingVersion; }

    // The chosen file (caption of Label1(3)): the folder path + separator + the selected name. A caption that
    // ends with the separator means that no file is chosen.
    const std::string& chosen() const { return m_chosen; }
    bool hasChosenFile() const;

    bool enabled(EncryptorButton b) const { return m_enabled[index(b)]; }
    bool passwordsEnabled() const { return m_passwordsEnabled; }
    PasswordColour passwordColour() const { return m_colour; }
    const std::string& password(int box) const { return m_passwords[box == 0 ? 0 : 1]; }
    const std::string& lastPassword() const { return m_lastPassword; }
    bool viewOpen() const { return m_viewOpen; }
    const std::string& viewText() const { return m_viewText; }
    std::string viewCaption() const;
    int heightTwips() const { return m_viewOpen ? kEncryptorViewHeightTwips : kEncryptorHeightTwips; }
    // True once after the password boxes were opened for typing: the focus goes to Text2(0).
    bool takeFocusRequest();

    // Control events. A drive that cannot be read changes nothing (false).
    bool changeDrive(const std::string& drive);
    void changeFolder(const std::string& folder);
    void typePattern(const std::string& pattern);
    void pickPattern(const std::string& pattern);
    std::optional<Notice> clickFile(const std::string& name);
    void setPassword(int box, const std::string& text);
    // A press of an enabled button (a disabled one does nothing).
    std::optional<Notice> press(EncryptorButton b);

private:
    static int index(EncryptorButton b) { return static_cast<int>(b); }
    void enable(EncryptorButton b, bool on) { m_enabled[index(b)] = on; }
    void disableAll() { m_enabled.fill(false); }
    void enableByName(const std::string& name);
    void rebuildChosen();
    void setPattern(const std::string& pattern);

    std::optional<Notice> prepare();
    std::optional<Notice> toggleView();
    std::optional<Notice> ok(bool* converted = nullptr);
    std::optional<Notice> repeatWithLastPassword(EncryptorButton from, EncryptorButton to);

    std::vector<std::string> m_volumes;
    std::string m_drive;
    std::string m_folder;
    std::string m_pattern = kInitialPattern;
    std::string m_selected;
    std::string m_chosen;
    int m_listingVersion = 0;
    std::array<bool, kEncryptorButtonCount> m_enabled{};
    bool m_passwordsEnabled = false;
    PasswordColour m_colour = PasswordColour::LightCyan;
    std::array<std::string, 2> m_passwords;
    std::string m_lastPassword;
    bool m_viewOpen = false;
    std::string m_viewText;
    bool m_focusRequest = false;
};
