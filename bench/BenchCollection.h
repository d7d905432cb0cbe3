#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// A generated collection for the benchmarks: sparse files of a few megabytes, each a real
// 128 kbit/s frame at the start and a tag at the end, spread over artist and album folders.
// One file in 25 has an ID3v2 tag of 2 to 6 KB in front of its frame, as real collections do.
class CBenchCollection {
public:
    // Creates (or reuses, when already complete) `count` files under `root`.
    CBenchCollection(std::string root, int count, int artists);

    const std::string& Root() const { return root_; }
    const std::vector<std::string>& Paths() const { return paths_; }
    static bool HasId3v2(int index) { return index % 25 == 7; }

    // Drops the files' pages from memory, without privileges: the next read of a file waits
    // for the disk, while folders and file metadata stay in memory ("data-cold").
    void DropPages() const;
    // Drops every cache of the system (root only); false when not allowed.
    static bool DropAllCaches();

    // The least any reader must do per file: open it, read its last 128 and first 4096 bytes,
    // close it. Returns the seconds taken for every file.
    double FloorSeconds() const;

    // This process's processor time so far, user and system.
    static double CpuSeconds();
    static double BestSeconds(int runs, const std::function<void()>& work);
    // The least processor time a child process took to run `command` (stdout discarded).
    static double BestToolSeconds(int runs, const std::vector<std::string>& command,
                                  const std::vector<std::string>& environment);
    // `base` names what `floorSeconds` measured.
    static void PrintRow(const std::string& what, double seconds, double floorSeconds,
                         const std::string& goal, bool met, const char* base = "floor");
    // A figure shown beside its floor without a goal.
    static void PrintInfoRow(const std::string& what, double seconds, double floorSeconds,
                             const std::string& note);

private:
    void Generate(int artists);

    std::string root_;
    int count_;
    std::vector<std::string> paths_;
};
