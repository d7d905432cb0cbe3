#pragma once

// How writing a track's tag ended. A file that does not open for writing is left alone; an
// error once it is open carries the system's error number, and the file keeps its old bytes.
struct STagWriteResult {
    enum class EStatus { Written, CannotOpen, WriteFailed };

    EStatus status = EStatus::Written;
    int error = 0;

    bool Written() const { return status == EStatus::Written; }
};
