// The MCI sequencer on Windows: every command string goes to mciSendStringA unchanged, in the ANSI code page.
#include "platform/mci_device.h"

#include <windows.h>

#include <mmsystem.h>
#include <string>

namespace {

// UTF-8 -> UTF-16 -> the ANSI code page (GBK on the systems the program serves), and back.
std::wstring wideFrom(std::string_view text, UINT codePage) {
    if (text.empty())
        return {};
    int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string narrowTo(const std::wstring& wide, UINT codePage) {
    if (wide.empty())
        return {};
    int size =
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

class WindowsMciDevice : public MciDevice {
public:
    std::string sendString(std::string_view command) override {
        std::string ansi = narrowTo(wideFrom(command, CP_UTF8), CP_ACP);
        char result[128] = {};
        if (mciSendStringA(ansi.c_str(), result, sizeof result, nullptr) != 0)
            return {};
        return narrowTo(wideFrom(result, CP_ACP), CP_UTF8);
    }
};

} // namespace

std::unique_ptr<MciDevice> createPlatformMciDevice(std::function<void(const std::string&)>) {
    return std::make_unique<WindowsMciDevice>();
}
