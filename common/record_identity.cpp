#include "common/record_identity.h"

#include "common/line_file.h"
#include "common/safe_write.h"

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "quillet-uid 1";
constexpr std::string_view kNone = "-";
constexpr std::size_t kMaxUidBytes = 255;
constexpr char kHex[] = "0123456789abcdef";
constexpr char kUpperHex[] = "0123456789ABCDEF";

// Not empty, not over-long, no control characters: a UID that can travel in a vCard or an iCalendar line.
bool usableUid(std::string_view uid) {
    if (uid.empty() || uid.size() > kMaxUidBytes)
        return false;
    for (unsigned char c : uid)
        if (c < 0x20 || c == 0x7F)
            return false;
    return true;
}

std::string encodeUid(std::string_view uid) {
    std::string out;
    for (unsigned char c : uid) {
        if (c > 0x20 && c < 0x7F && c != '%') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kUpperHex[c >> 4];
            out += kUpperHex[c & 15];
        }
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Nothing when the text is not a well-formed encoding.
std::optional<std::string> decodeUid(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high << 4 | low);
        i += 2;
    }
    return out;
}

bool isHash(std::string_view text) {
    return text == kNone || (text.size() == 16 && text.find_first_not_of(kHex) == std::string_view::npos);
}

// One entry of the side file; an unusable line gives an entry that matches nothing.
struct SideEntry {
    std::string uid;
    std::string content;
    std::string key;
    std::string exportHash;
    bool used = false;
};

SideEntry parseEntry(std::string_view line) {
    std::array<std::string_view, 4> items;
    std::size_t start = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::size_t end = line.find(' ', start);
        if ((end == std::string_view::npos) != (i + 1 == items.size()))
            return {};
        items[i] = line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        start = end + 1;
    }
    std::optional<std::string> uid = decodeUid(items[0]);
    if (!uid || !usableUid(*uid) || !isHash(items[1]) || !isHash(items[2]) || items[3].empty())
        return {};
    return {std::move(*uid), std::string(items[1]), std::string(items[2]), std::string(items[3])};
}

std::vector<SideEntry> parseSideText(std::string_view text) {
    std::vector<std::string> lines = splitRawLines(text);
    std::vector<SideEntry> entries;
    if (lines.empty() || lines.front() != kHeader)
        return entries;
    entries.reserve(lines.size() - 1);
    for (std::size_t i = 1; i < lines.size(); ++i)
        entries.push_back(parseEntry(lines[i]));
    return entries;
}

std::string keyHash(const RecordTraits& record) {
    return record.key.empty() ? std::string(kNone) : recordHash(record.key);
}

// One matching pass: each record still without an entry takes the entry at its own position when `hashOf`
// agrees there, else the first unused entry that agrees.
template <class HashOf>
void matchPass(std::vector<SideEntry>& entries, const std::vector<std::string>& hashes,
               std::vector<const SideEntry*>& found, HashOf hashOf) {
    // Built at the first record its own position does not match: a side file that agrees needs none.
    std::optional<std::unordered_map<std::string_view, std::vector<std::size_t>>> byHash;
    const auto index = [&] {
        byHash.emplace();
        for (std::size_t i = entries.size(); i-- > 0;)
            if (!entries[i].used && !entries[i].uid.empty() && hashOf(entries[i]) != kNone)
                (*byHash)[hashOf(entries[i])].push_back(i); // last pushed = first in order
    };
    for (std::size_t r = 0; r < hashes.size(); ++r) {
        if (found[r] || hashes[r] == kNone)
            continue;
        SideEntry* pick = nullptr;
        if (r < entries.size() && !entries[r].used && !entries[r].uid.empty() && hashOf(entries[r]) == hashes[r])
            pick = &entries[r];
        if (!pick) {
            if (!byHash)
                index();
            if (auto it = byHash->find(hashes[r]); it != byHash->end())
                while (!pick && !it->second.empty()) {
                    SideEntry& candidate = entries[it->second.back()];
                    it->second.pop_back();
                    if (!candidate.used)
                        pick = &candidate;
                }
        }
        if (pick) {
            pick->used = true;
            found[r] = pick;
        }
    }
}

} // namespace

std::string newRecordUid() {
    static std::random_device source;
    std::array<unsigned char, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        const std::uint32_t word = source();
        for (std::size_t k = 0; k < 4; ++k)
            bytes[i + k] = static_cast<unsigned char>(word >> (8 * k));
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out += '-';
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 15];
    }
    return out;
}

std::string recordHash(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    std::string out(16, '0');
    for (std::size_t i = 16; i-- > 0; hash >>= 4)
        out[i] = kHex[hash & 15];
    return out;
}

fs::path identityFilePath(const fs::path& bookFile) {
    fs::path side = bookFile;
    return side.replace_extension(".uid");
}

void RecordIdentities::match(std::string_view sideText, const std::vector<RecordTraits>& records) {
    const Hashes hashes = hashesOf(records);
    matchHashes(sideText, hashes);
}

bool RecordIdentities::load(const fs::path& sideFile, const std::vector<RecordTraits>& records) {
    Result<std::string> bytes = readFileBytes(sideFile);
    const Hashes hashes = hashesOf(records);
    matchHashes(bytes ? std::string_view(*bytes) : std::string_view(), hashes);
    return bytes ? *bytes != textOf(hashes) : !records.empty();
}

std::string RecordIdentities::text(const std::vector<RecordTraits>& records) const {
    return textOf(hashesOf(records));
}

RecordIdentities::Hashes RecordIdentities::hashesOf(const std::vector<RecordTraits>& records) {
    Hashes hashes;
    hashes.contents.reserve(records.size());
    hashes.keys.reserve(records.size());
    for (const RecordTraits& record : records) {
        hashes.contents.push_back(recordHash(record.content));
        hashes.keys.push_back(keyHash(record));
    }
    return hashes;
}

void RecordIdentities::matchHashes(std::string_view sideText, const Hashes& hashes) {
    std::vector<SideEntry> entries = parseSideText(sideText);
    std::vector<const SideEntry*> found(hashes.contents.size(), nullptr);
    matchPass(entries, hashes.contents, found, [](const SideEntry& e) -> std::string_view { return e.content; });
    matchPass(entries, hashes.keys, found, [](const SideEntry& e) -> std::string_view { return e.key; });
    std::vector<RecordIdentity> ids;
    ids.reserve(found.size());
    for (const SideEntry* entry : found)
        ids.push_back(entry ? RecordIdentity{entry->uid, entry->exportHash} : RecordIdentity{});
    assign(std::move(ids));
}

std::string RecordIdentities::textOf(const Hashes& hashes) const {
    std::string out(kHeader);
    out += "\r\n";
    out.reserve(out.size() + m_ids.size() * 80);
    for (std::size_t i = 0; i < m_ids.size() && i < hashes.contents.size(); ++i) {
        out += encodeUid(m_ids[i].uid);
        out += ' ';
        out += hashes.contents[i];
        out += ' ';
        out += hashes.keys[i];
        out += ' ';
        out += m_ids[i].exportHash;
        out += "\r\n";
    }
    return out;
}

Result<void> RecordIdentities::save(const fs::path& sideFile, const std::vector<RecordTraits>& records) const {
    return writeFileAtomic(sideFile, text(records), FileAccess::PrivateNew);
}

const std::string& RecordIdentities::append(std::string_view uid) {
    std::string chosen = usableUid(uid) && !holds(uid) ? std::string(uid) : newRecordUid();
    m_used.insert(chosen);
    m_ids.push_back({std::move(chosen), std::string(kNone)});
    return m_ids.back().uid;
}

int RecordIdentities::indexOf(std::string_view uid) const {
    if (!holds(uid))
        return -1;
    const auto at = std::find_if(m_ids.begin(), m_ids.end(), [&](const RecordIdentity& id) { return id.uid == uid; });
    return static_cast<int>(at - m_ids.begin());
}

void RecordIdentities::insert(std::size_t i, RecordIdentity id) {
    if (!usableUid(id.uid) || holds(id.uid))
        id.uid = newRecordUid();
    if (id.exportHash.empty() || id.exportHash.find_first_of(" \r\n") != std::string::npos)
        id.exportHash = kNone;
    m_used.insert(id.uid);
    m_ids.insert(m_ids.begin() + static_cast<std::ptrdiff_t>(std::min(i, m_ids.size())), std::move(id));
}

void RecordIdentities::erase(std::size_t i) {
    if (i >= m_ids.size())
        return;
    m_used.erase(m_ids[i].uid);
    m_ids.erase(m_ids.begin() + static_cast<std::ptrdiff_t>(i));
}

void RecordIdentities::setExportHash(std::size_t i, std::string_view hash) {
    if (i < m_ids.size() && !hash.empty() && hash.find_first_of(" \r\n") == std::string_view::npos)
        m_ids[i].exportHash = hash;
}

void RecordIdentities::clear() {
    m_ids.clear();
    m_used.clear();
}

void RecordIdentities::assign(std::vector<RecordIdentity> ids) {
    clear();
    m_ids.reserve(ids.size());
    for (RecordIdentity& id : ids)
        insert(m_ids.size(), std::move(id));
}
