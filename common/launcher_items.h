#pragma once
// The launcher's ten items, in the order it lists them, and "同  步 " after them while a server sync is set up;
// the calendars' menus open some of them.

enum LauncherItem {
    ItemExit = 0,
    ItemHelp,
    ItemSettings,
    ItemAbout,
    ItemAlarm,
    ItemBrowser,
    ItemEncryptor,
    ItemAddressBook,
    ItemDiary,
    ItemMemoBook,
    ItemSync
};
constexpr int kLauncherItems = 10;     // always listed
constexpr int kLauncherItemsMost = 11; // with the sync item
