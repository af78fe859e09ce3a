#pragma once
// Pieces the fuzz targets share: a scratch folder per process, whole-file
// writes, snapshots of a folder tree to prove what a run may not change, and
// the stop that turns a broken promise into a finding.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// Stops the run with `what` on stderr; libFuzzer keeps the input as a crash.
[[noreturn]] void Finding(const std::string& what);

// While alive, what the code under test prints on stdout and stderr is
// dropped (a program's messages for refused input would drown the fuzzer's);
// sanitizer reports and findings still reach the real stderr.
class Quiet {
public:
    Quiet();
    ~Quiet();
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;
};

// A fresh folder below $TMPDIR (or /tmp), removed when the process ends.
// Ends in '/'.
std::string ScratchFolder(const std::string& tag);

void WriteFile(const std::string& path, std::string_view data);
std::string ReadFile(const std::string& path); // "" when it cannot be read
void RemoveTree(const std::string& path);       // never follows links
void CopyTree(const std::string& from, const std::string& to);

// One entry of a folder tree: its kind, size and bytes (files), or link target.
struct Entry {
    char Kind = '?'; // 'f' file, 'd' folder, 'l' link, '?' other
    std::string Content;
};
using Tree = std::map<std::string, Entry>; // path relative to the root

// Everything below `root`, without following links; `withContent` reads the
// files (small trees only).
Tree Snapshot(const std::string& root, bool withContent = true);

// A readable list of what differs between two snapshots ("" when none).
std::string Differences(const Tree& before, const Tree& after);

// Splits fuzz data into parts at each `separator` (the separator itself is
// dropped).
std::vector<std::string> Split(std::string_view data, std::string_view separator);

} // namespace fuzz
