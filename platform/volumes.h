#pragma once
// The "drives" the file encryptor offers. On Linux these are the mounted volumes a user browses: the root,
// the home folder, and removable media mounted under /media, /run/media or /mnt.
#include <string>
#include <string_view>
#include <vector>

// This machine's volumes, root first, then home, then removable media in name order.
std::vector<std::string> mountedVolumes();

// The volumes named by a mount table in /proc/mounts form (octal escapes such as "\040" decoded) and the
// home folder (left out when empty).
std::vector<std::string> volumesFromMountTable(std::string_view mountTable, std::string_view home);
