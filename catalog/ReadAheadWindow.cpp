#include "catalog/ReadAheadWindow.h"

namespace {

// What a track's reading needs first: its tag at the end, and at the start as much as the
// system's own first read-ahead would bring, enough for a header behind an ID3v2 tag of a few
// kilobytes.
constexpr std::int64_t kHeadBytes = 16384;
constexpr std::int64_t kTailBytes = 128;
// One file in so many is probed with a read that does not wait for the disk.
constexpr std::size_t kProbeEvery = 32;
// Probes in a row that find their file in memory before reading ahead stops.
constexpr int kProbesToStop = 4;

} // namespace

CReadAheadWindow::CReadAheadWindow(std::size_t size, FileReady onReady)
    : size_(size), onReady_(std::move(onReady)), ring_(size + 1), readingAhead_(size > 0) {}

void CReadAheadWindow::Add(const std::string& directory, const std::string& name, int directoryFd) {
    SFile& slot = ring_[(first_ + count_) % ring_.size()];
    slot.directory = directory;
    slot.name = name;
    slot.opened = slot.file.OpenAt(directoryFd, name, CFile::EMode::Read);
    ++count_;
    const CFile& file = slot.file;
    if (size_ > 0 && slot.opened == CFile::EOpenResult::Opened && file.Size() >= kTailBytes) {
        Probe(file);
        if (readingAhead_) {
            file.WillNeed(0, kHeadBytes);
            file.WillNeed(file.Size() - kTailBytes, kTailBytes);
        }
    }
    while (count_ > (readingAhead_ ? size_ : 0))
        HandOn();
}

// The first visit of a collection reads ahead from its first file on; a walk over files in
// memory stops after a few probes, and starts again at the first probe that would wait.
void CReadAheadWindow::Probe(const CFile& file) {
    if (sinceProbe_++ % kProbeEvery != 0)
        return;
    const bool inMemory = file.InMemory(file.Size() - kTailBytes, kTailBytes);
    probesInMemory_ = inMemory ? probesInMemory_ + 1 : 0;
    readingAhead_ = probesInMemory_ < kProbesToStop;
}

void CReadAheadWindow::Flush() {
    while (count_ > 0)
        HandOn();
}

// A file is closed as soon as it has been read: no more than size_ + 1 are open at a time.
void CReadAheadWindow::HandOn() {
    SFile& slot = ring_[first_];
    first_ = (first_ + 1) % ring_.size();
    --count_;
    onReady_(slot);
    slot.file.Close();
}
