#pragma once

#include <cstdint>
#include <span>

class CMpegHeader;

// The counts an encoder writes into the first frame of a Layer III stream, where its audio data
// would begin: "Xing" for a variable bitrate, "Info" for the same record of a constant one, or
// "VBRI". They give the exact playing time, which the first frame's bitrate cannot.
class CVbrHeader {
public:
    enum class EKind { None, Xing, Info, Vbri };

    // Reads the header in `body`, the first frame's bytes after its 4 header bytes. `streamBytes`
    // counts the audio from that frame on, for a "Xing" header that leaves its byte count out.
    // True when the counts give a time and a bitrate: a "Xing" or "VBRI" header with non-zero
    // counts whose average lies within 8-640 kbit/s.
    bool Parse(const CMpegHeader& header, std::span<const std::uint8_t> body,
               std::int64_t streamBytes);

    EKind Kind() const { return kind_; }
    // Playing time rounded to whole seconds, average bitrate rounded to kbit/s.
    int Seconds() const { return seconds_; }
    int Kilobits() const { return kilobits_; }

private:
    bool Compute(const CMpegHeader& header, std::uint64_t frames, std::uint64_t bytes);

    EKind kind_ = EKind::None;
    int seconds_ = 0;
    int kilobits_ = 0;
};
