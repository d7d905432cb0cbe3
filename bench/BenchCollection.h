#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// A generated collection for the benchmarks: sparse files of a few megabytes, each a real
// 128 kbit/s frame at the start and a tag at the end, spread over artist and album folders.
class CBenchCollection {
public:
    // Creates (or reuses, when already complete) `count` files under `root`.
    CBenchCollection(std::string root, int count, int artists);

    const std::string& Root() const { return root_; }
    const std::vector<std::string>& Paths() const { return paths_; }

    // The least any reader must do per file: open it, read its last 128 and first 4096 bytes,
    // close it. Returns the seconds taken for every file.
    double FloorSeconds() const;

    // This process's processor time so far, user and system.
    static double CpuSeconds();
    static double BestSeconds(int runs, const std::function<void()>& work);
    // The least processor time a child process took to run `command` (stdout discarded).
    static double BestToolSeconds(int runs, const std::vector<std::string>& command,
                                  const std::vector<std::string>& environment);
    static void PrintRow(const std::string& what, double seconds, double floorSeconds,
                         const std::string& goal, bool met);

private:
    void Generate(int artists);

    std::string root_;
    int count_;
    std::vector<std::string> paths_;
};
