// Kills saves with SIGKILL at random moments and checks what each kill left: for every kind of file the
// program writes, a child process saves in a loop until it is killed; the file must then hold exactly the old
// or the new version (a diary month must decipher), and the next completed save must leave no temporary file.
//
//   crash_harness [--seconds N] [--seed S]      (defaults: 50 seconds in all, a seed from the clock)
#include "common/temp_debris.h"
#include "tests/crash/crash_kinds.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Totals {
    int kills = 0, damaged = 0, debris = 0, failedSaves = 0;
    std::map<std::string, int> outcomes;
};

int debrisIn(const fs::path& dir) {
    int found = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (parseTempName(e.path().filename().string()))
            ++found;
    return found;
}

// Forks a child that saves versions 1, 0, 1, ... until killed; returns once it has started.
pid_t startSaver(const CrashKind& kind, const fs::path& dir) {
    int ready[2];
    if (::pipe(ready) != 0)
        std::abort();
    pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        (void)!::write(ready[1], "r", 1);
        try {
            for (int v = 1;; v ^= 1)
                kind.save(dir, v);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: a save failed in the child: %s\n", kind.name.c_str(), e.what());
        }
        ::_exit(3);
    }
    ::close(ready[1]);
    char c;
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    return child;
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 50;
    unsigned long seed = static_cast<unsigned long>(Clock::now().time_since_epoch().count());
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--seconds"))
            seconds = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seed"))
            seed = std::stoul(argv[i + 1]);
    }
    std::printf("crash harness: seed %lu (rerun with --seed %lu), %.0f s\n", seed, seed, seconds);
    std::fflush(stdout);
    std::mt19937_64 rng(seed);

    const fs::path root = fs::temp_directory_path() / ("quillet-crash-" + std::to_string(::getpid()));
    fs::create_directories(root);
    std::vector<CrashKind> kinds = crashKinds(root / "ref");
    const double perKind = seconds / static_cast<double>(kinds.size());
    std::map<std::string, Totals> totals;
    bool bad = false;

    for (const CrashKind& kind : kinds) {
        Totals& t = totals[kind.name];
        const fs::path dir = root / "work" / kind.name;
        kind.prepare(dir);
        // How long one save takes here: kills land anywhere in that span and a little beyond.
        auto t0 = Clock::now();
        kind.save(dir, 1);
        kind.save(dir, 0);
        const double saveUs = std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / 2;
        std::uniform_real_distribution<double> delay(0, saveUs * 2.5 + 200);
        const auto until = Clock::now() + std::chrono::duration<double>(perKind);
        int next = 1;
        while (Clock::now() < until || t.kills < 10) { // a few kills even on a slow machine
            pid_t child = startSaver(kind, dir);
            std::this_thread::sleep_for(std::chrono::duration<double, std::micro>(delay(rng)));
            ::kill(child, SIGKILL);
            int status = 0;
            ::waitpid(child, &status, 0);
            if (!WIFSIGNALED(status)) {
                std::printf("  %s: the saver ended by itself (status %d)\n", kind.name.c_str(), status);
                ++t.failedSaves;
                bad = true;
                break;
            }
            ++t.kills;
            std::string outcome;
            if (std::string wrong = kind.check(dir, outcome); !wrong.empty()) {
                std::printf("  %s: DAMAGED after kill %d: %s\n", kind.name.c_str(), t.kills, wrong.c_str());
                ++t.damaged;
                bad = true;
                kind.prepare(dir);
                continue;
            }
            ++t.outcomes[outcome];
            try {
                kind.save(dir, next ^= 1); // the next save, as the user's next try
            } catch (const std::exception& e) {
                std::printf("  %s: the save after kill %d failed: %s\n", kind.name.c_str(), t.kills, e.what());
                ++t.failedSaves;
                bad = true;
            }
            if (int left = debrisIn(dir)) {
                std::printf("  %s: %d temporary files left after a completed save\n", kind.name.c_str(), left);
                t.debris += left;
                bad = true;
                for (const auto& e : fs::recursive_directory_iterator(dir))
                    if (parseTempName(e.path().filename().string()))
                        std::printf("    %s\n", e.path().c_str());
            }
        }
    }

    int kills = 0, damaged = 0, debris = 0;
    std::printf("%-14s %6s %8s %7s  outcomes\n", "file kind", "kills", "damaged", "debris");
    for (const CrashKind& kind : kinds) {
        const Totals& t = totals[kind.name];
        std::string outcomes;
        for (const auto& [name, count] : t.outcomes)
            outcomes += name + " " + std::to_string(count) + "  ";
        std::printf("%-14s %6d %8d %7d  %s\n", kind.name.c_str(), t.kills, t.damaged, t.debris, outcomes.c_str());
        kills += t.kills;
        damaged += t.damaged;
        debris += t.debris;
    }
    std::printf("%-14s %6d %8d %7d\n", "total", kills, damaged, debris);
    std::error_code ec;
    fs::remove_all(root, ec);
    return bad ? 1 : 0;
}
