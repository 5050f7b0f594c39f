#pragma once
// One window of a kind at a time: shown again when open, else created (deleted when closed).
#include "app/form1.h"

template <class W, class... Args> W* Form1::showSingle(WindowId id, Args&&... args) {
    W* w = windowAs<W>(id);
    if (!w) {
        w = new W(*this, std::forward<Args>(args)...);
        w->setAttribute(Qt::WA_DeleteOnClose);
        remember(id, w);
    }
    w->show();
    if (w->testAttribute(Qt::WA_ShowWithoutActivating)) {
        w->raise();
        return w; // on top, while the keys still go where the user is typing
    }
    w->raise();
    w->activateWindow();
    return w;
}
