#pragma once
// The temporary files of atomic writes, and the clean-up of those a killed or crashed save left behind.
//
// Every temporary file is named ".<target name>.quillet-tmp.<writer pid>.<6 hex digits>" and sits beside its
// target. A temporary file is stale when its writer is gone: no process has that pid, or the process that
// has it now started after the file was last written (the pid was reused). Only names of exactly this form
// are ever removed, and only regular files.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A fresh temporary name for `target` (same folder) carrying this process's pid.
std::filesystem::path tempPathFor(const std::filesystem::path& target);

struct TempName {
    std::string target; // the file name the temporary file was going to replace
    long pid = 0;       // its writer
};
// The parts of a temporary name, or nullopt for any other name.
std::optional<TempName> parseTempName(std::string_view fileName);

// Removes the stale temporary files in `folder`: those of `targetName` only, or of every target when it is
// empty. Returns how many were removed; failures to remove are ignored (the next sweep tries again).
int sweepStaleTemps(const std::filesystem::path& folder, std::string_view targetName = {});

// The start-up sweep: the data folder itself, its "bwl", "rjb", "txl" and "txl/txlphoto" folders, and the
// noted folders outside it.
int sweepDataFolders(const std::filesystem::path& dataFolder);

// Folders outside the data folder where temporary files are written (the file converter writes beside the
// user's files, and a killed conversion leaves a temporary file holding the whole converted text). They are
// listed, one a line, in "$XDG_STATE_HOME/quillet/temp-folders" (else under ~/.local/state); a folder leaves
// the list once the sweep finds no temporary file in it. Without either variable nothing is listed.
void noteTempFolder(const std::filesystem::path& folder);
int sweepNotedFolders();
