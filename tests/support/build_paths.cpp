#include "support/build_paths.h"

std::filesystem::path sourceDir() {
    return QUILLET_SOURCE_DIR;
}

std::string cliProgram() {
    return QUILLET_CLI;
}

std::string appProgram() {
#ifdef QUILLET_APP
    return QUILLET_APP;
#else
    return {};
#endif
}
