#pragma once

// How writing a track's tags ended. A file that does not open for writing is left alone; an
// error once it is open carries the system's error number; a file the writer will not touch is
// refused with the reason, before any byte changes. Whatever failed, the file keeps its old
// bytes.
struct STagWriteResult {
    enum class EStatus { Written, CannotOpen, WriteFailed, Refused };
    // Why a file is refused.
    enum class EReason {
        None,
        HardLinks,             // its ID3v2 tag must grow, which a rename would do to one name only
        Unsynchronised,        // the ID3v2 tag is unsynchronised as a whole
        CompressedOrEncrypted, // a frame is compressed or encrypted
        Unreadable,            // the ID3v2 tag cannot be read whole, or has a form not written here
        ForeignLink,           // the track is a link that another user made: it may name any file
        NotRegular,            // a FIFO, a folder or a device has the track's name
        Picture, // the cover is no JPEG, PNG or WebP image the tag can hold (CId3v2Picture)
    };

    EStatus status = EStatus::Written;
    int error = 0;
    EReason reason = EReason::None;

    bool Written() const { return status == EStatus::Written; }
};
