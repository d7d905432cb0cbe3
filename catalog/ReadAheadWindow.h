#pragma once

#include "platform/File.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The files of a walk, opened as the walk finds them and handed on, still open and in the
// order found, to be read. While the files' bytes are not in memory (a collection's first
// visit), each file is handed on only once `size` later ones have been found, and the system is
// asked for the head and the tail of each as soon as it is opened: reading then waits for one
// file's bytes while the next ones are already on their way. While they are in memory, asking
// and waiting would only cost time, and each file is handed on at once.
class CReadAheadWindow {
public:
    struct SFile {
        std::string directory;
        std::string name;
        CFile file;
        CFile::EOpenResult opened = CFile::EOpenResult::CannotOpen;
    };
    using FileReady = std::function<void(const SFile& file)>;

    // A size of 0 never reads ahead.
    CReadAheadWindow(std::size_t size, FileReady onReady);
    // Opens `name` in the open folder `directoryFd`, whose path is `directory`.
    void Add(const std::string& directory, const std::string& name, int directoryFd);
    // Hands on every file still waiting.
    void Flush();

private:
    void Probe(const CFile& file);
    void HandOn();

    std::size_t size_;
    FileReady onReady_;
    std::vector<SFile> ring_; // size_ + 1 slots, the oldest at first_
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    bool readingAhead_;
    std::size_t sinceProbe_ = 0;
    int probesInMemory_ = 0;
};
