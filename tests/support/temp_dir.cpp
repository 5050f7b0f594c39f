#include "support/temp_dir.h"

#include "support/build_paths.h"

#include "common/text_codec.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

TempWorkDir::TempWorkDir() : m_previous(fs::current_path()) {
    std::random_device rd;
    for (int attempt = 0;; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("quillet-test-" + std::to_string(rd()));
        if (fs::create_directory(candidate)) {
            m_path = candidate;
            break;
        }
    }
    fs::current_path(m_path);
}

TempWorkDir::~TempWorkDir() {
    std::error_code ec;
    fs::current_path(m_previous, ec);
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

fs::path TempWorkDir::operator/(std::string_view relative) const {
    return m_path / fs::path(relative);
}

void TempWorkDir::write(std::string_view relative, std::string_view bytes) const {
    fs::path p = *this / relative;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempWorkDir::read(std::string_view relative) const {
    std::ifstream in(*this / relative, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

bool TempWorkDir::exists(std::string_view relative) const {
    return fs::exists(*this / relative);
}

fs::path testDataDir() {
    if (const char* env = std::getenv("QUILLET_TEST_DATA"))
        return env;
    return sourceDir() / "tests" / "data";
}

std::string gb(std::string_view utf8) {
    return encodeGb(utf8);
}
