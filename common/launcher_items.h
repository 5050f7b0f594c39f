#pragma once
// The launcher's ten items, in the order it lists them; the calendars' menus open some of them.

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
    ItemMemoBook
};
constexpr int kLauncherItems = 10;
