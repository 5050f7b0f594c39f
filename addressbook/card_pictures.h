#pragma once
// Pictures the address book draws itself: the toolbar's icons (its image list), the custom mouse
// cursor of the link boxes and the photo, the built-in default portrait (shown when moren.gif is missing)
// and the photo picker's confirm button in its normal and highlighted looks.
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The icon of a toolbar button by its key ("tqianyiye", "thouyiye", ...).
QIcon toolbarIcon(const QString& key);
// A pointing hand: the links of browse mode and the photo of edit mode look clickable.
QCursor cardLinkCursor();
// The default portrait, the size of the card's photo box.
QPixmap defaultPortrait();
// The picker's "确定" button picture.
QPixmap confirmButtonPicture(bool highlighted);
