#include "sync/sync_state.h"

#include "common/safe_write.h"

#include <sstream>

namespace {

constexpr std::string_view kHeader = "quillet-sync 1";

std::string escaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > ' ' && byte <= '~' && c != '%')
            out += c;
        else
            out.append(1, '%').append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
    }
    return out;
}

std::string unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool isHash(const std::string& text) {
    return text.size() == 16 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

bool isHexEscaped(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '%' && (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
                               !std::isxdigit(static_cast<unsigned char>(text[i + 2]))))
            return false;
    return true;
}

} // namespace

SyncState parseSyncState(std::string_view text) {
    SyncState state;
    std::istringstream in{std::string(text)};
    std::string line;
    if (!std::getline(in, line) || (line != kHeader && line != std::string(kHeader) + "\r"))
        return state;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream fields(line);
        std::string kind, uid, file;
        SyncEntry entry;
        std::string rest;
        if (!(fields >> kind >> uid >> file >> entry.localHash >> entry.vdirHash) || (fields >> rest) ||
            (kind != "card" && kind != "memo") || !isHash(entry.localHash) || !isHash(entry.vdirHash) ||
            !isHexEscaped(uid) || !isHexEscaped(file))
            continue; // a damaged line is forgotten: that record is matched afresh by its UID
        entry.file = unescaped(file);
        state[kind][unescaped(uid)] = std::move(entry);
    }
    return state;
}

std::string syncStateText(const SyncState& state) {
    std::string out = std::string(kHeader) + "\r\n";
    for (const auto& [kind, entries] : state)
        for (const auto& [uid, e] : entries)
            out += kind + " " + escaped(uid) + " " + escaped(e.file) + " " + e.localHash + " " + e.vdirHash + "\r\n";
    return out;
}

SyncState readSyncState(const std::filesystem::path& file) {
    Result<std::string> bytes = readFileBytes(file);
    return bytes ? parseSyncState(*bytes) : SyncState{};
}

Result<void> writeSyncState(const std::filesystem::path& file, const SyncState& state) {
    const std::string text = syncStateText(state);
    if (Result<std::string> old = readFileBytes(file); old && *old == text)
        return {};
    if (Result<void> folder = ensureFolder(file.parent_path()); !folder)
        return folder;
    return writeFileAtomic(file, text, FileAccess::PrivateNew);
}
