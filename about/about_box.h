#pragma once
// The About box's texts and its hover rules. Sizes are in twips as the box was designed; the logo grows
// while the pointer is over it and shrinks back only once it has grown past 1300 twips wide.
#include "common/notice.h"

#include <string>

// The application's title, as the About caption and the running-copy message name it.
inline constexpr const char* kApplicationTitle = "Quillet";
// The maker's addresses (neutral placeholders: the program has no real maker's site).
inline constexpr const char* kMakerMail = "quillet@example.org";
inline constexpr const char* kMakerPage = "https://www.example.org/quillet/";

// "关于 " followed by the application's title.
std::string aboutCaption();
// What Label2(0) and Label2(1) open: "mailto:" + the mail address, and the web page.
std::string aboutLinkTarget(int index);
// The one message of the system-information button.
Notice sysInfoUnavailableNotice();

// Colours as the design gives them (0x00BBGGRR).
inline constexpr unsigned kDisclaimerHotColour = 0x00FFFF; // yellow
inline constexpr unsigned kDisclaimerColour = 0xFFFFFF;    // white

class AboutHover {
public:
    static constexpr int kLogoWidth = 1200, kLogoHeight = 1000;
    static constexpr int kLogoGrownWidth = 1400, kLogoGrownHeight = 1200;
    static constexpr int kLogoShrinkAbove = 1300;

    // Over Label2(i): both links plain, then link i opaque.
    void overLink(int index) { m_hotLink = index; }
    // Over lblDisclaimer: bold yellow text.
    void overDisclaimer() { m_disclaimerHot = true; }
    // Over Image1: the logo grows.
    void overLogo();
    // Over the window's background: links plain, disclaimer white and not bold, a grown logo shrinks.
    void overWindow();

    int hotLink() const { return m_hotLink; } // -1: none
    bool disclaimerHot() const { return m_disclaimerHot; }
    unsigned disclaimerColour() const { return m_disclaimerHot ? kDisclaimerHotColour : kDisclaimerColour; }
    int logoWidth() const { return m_logoWidth; }
    int logoHeight() const { return m_logoHeight; }

private:
    int m_hotLink = -1;
    bool m_disclaimerHot = false;
    int m_logoWidth = kLogoWidth;
    int m_logoHeight = kLogoHeight;
};
