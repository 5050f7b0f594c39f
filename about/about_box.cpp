#include "about/about_box.h"

std::string aboutCaption() {
    return std::string("关于 ") + kApplicationTitle;
}

std::string aboutLinkTarget(int index) {
    return index == 0 ? std::string("mailto:") + kMakerMail : std::string(kMakerPage);
}

Notice sysInfoUnavailableNotice() {
    return {"提示", "此时系统信息不可用", NoticeIcon::Information, NoticeButtons::Ok};
}

void AboutHover::overLogo() {
    m_logoWidth = kLogoGrownWidth;
    m_logoHeight = kLogoGrownHeight;
}

void AboutHover::overWindow() {
    m_hotLink = -1;
    m_disclaimerHot = false;
    if (m_logoWidth > kLogoShrinkAbove) {
        m_logoWidth = kLogoWidth;
        m_logoHeight = kLogoHeight;
    }
}
