#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

// A few writes into one open file as a single step that the end of the program cannot cut in
// two: a short-lived child process does them with every signal it may block blocked, so a kill
// of the program once the step began leaves the child to finish it. A range that fails puts back
// the ones written before it, and an append is cut off again: the file ends old or new. (A
// crash of the machine is another matter: only a rename is whole across one.)
class CUninterruptedWrite {
public:
    struct SRange {
        std::int64_t offset = 0;
        std::string_view bytes;
        std::string_view old; // what the range holds now; its part within the file is restored
    };

    // `size` is the file's size now; a range may reach past it (an append). Returns 0, or the
    // system's error number of the write that failed.
    static int Write(int fd, std::int64_t size, std::span<const SRange> ranges);
    // Any such step: `step` returns 0 or an error number. It runs in a child that borrows the
    // caller's memory, so it may only make system calls on what was prepared before (no
    // allocation, no lock).
    static int Run(const std::function<int()>& step);
};
