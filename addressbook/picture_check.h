#pragma once
// Whether picture bytes hold a whole picture, told without a drawing toolkit by walking the file's structure
// to its end: a JPEG's segments and scans up to its end marker, a PNG's chunks with their checksums up to IEND, a
// GIF's blocks up to its trailer, a BMP's pixel rows. A picture cut off in transfer, or a PNG damaged anywhere,
// fails; damage inside a JPEG's or GIF's compressed data can only be found by decoding it.
#include <optional>
#include <string>
#include <string_view>

// "JPEG", "GIF", "PNG" or "BMP" for a whole picture of that kind; nothing otherwise.
std::optional<std::string> wholePictureType(std::string_view bytes);
