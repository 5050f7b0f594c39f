#include "common/line_file.h"

#include "common/safe_write.h"
#include "common/text_codec.h"

std::vector<std::string> splitRawLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t lf = bytes.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        std::size_t end = lf > start && bytes[lf - 1] == '\r' ? lf - 1 : lf;
        lines.emplace_back(bytes.substr(start, end - start));
        start = lf + 1;
    }
    return lines;
}

std::string joinRawLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> decodeLines(std::string_view bytes) {
    std::vector<std::string> lines = splitRawLines(bytes);
    for (std::string& line : lines)
        line = decodeGb(line);
    return lines;
}

std::string encodeLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += encodeGb(line);
        out += "\r\n";
    }
    return out;
}

Result<std::vector<std::string>> readTextLines(const std::filesystem::path& path) {
    Result<std::string> bytes = readFileBytes(path);
    if (!bytes)
        return bytes.error();
    return decodeLines(*bytes);
}

Result<void> writeTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    return writeFileAtomic(path, encodeLines(lines), FileAccess::PrivateNew);
}
