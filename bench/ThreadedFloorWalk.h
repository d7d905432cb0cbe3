#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The floor of a walk that keeps many requests in flight: it uses threads. A pool of them
// lists folders and reads files (CFloorTrack) as they are found, each thread waiting on one
// request at a time, so that on a file system with a delay per request (a network share) that
// many wait together. Folders are listed before files are read, so that work is found early.
// The lines come out in the sequential walk's order (entries in name order, a folder's files
// before its subfolders) once all are read.
class CThreadedFloorWalk {
public:
    CThreadedFloorWalk(std::string root, std::size_t threads);
    void Run();

private:
    struct SFolder {
        std::string path;
        std::vector<std::string> files;
        std::vector<std::string> lines;
        std::vector<std::unique_ptr<SFolder>> children;
    };
    struct STask {
        SFolder* folder;
        std::size_t file; // kList: list the folder
    };
    static constexpr std::size_t kList = ~std::size_t{0};

    void Work();
    void List(SFolder& folder);
    static void Print(const SFolder& folder);

    SFolder root_;
    std::size_t threads_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<STask> tasks_;
    std::size_t busy_ = 0;
};
