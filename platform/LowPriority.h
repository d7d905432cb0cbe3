#pragma once

// Work the user does not wait for runs on threads that give way to the window and to walks.
class CLowPriority {
public:
    // Lowers the calling thread alone: its nice value (Linux keeps one per thread) and its share
    // of the disk.
    static void ForThisThread();
};
