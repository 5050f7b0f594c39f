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
    w->raise();
    w->activateWindow();
    return w;
}
