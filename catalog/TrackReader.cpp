#include "catalog/TrackReader.h"

#include "catalog/HeldFolder.h"
#include "catalog/ReadPool.h"
#include "platform/File.h"
#include "platform/Reporter.h"

#include <chrono>
#include <optional>

namespace {

using Clock = std::chrono::steady_clock;

// One file in so many read on the walk's thread is probed with a read that does not wait.
constexpr std::size_t kProbeEvery = 32;
// Files read on the pool in a row that were in memory before reading comes back.
constexpr std::size_t kInMemoryToStop = 64;
// What a track's reading looks at first: its ID3v1 tag.
constexpr std::int64_t kTailBytes = 128;
// Where the file system cannot say what is in memory: a file read in more than this waited, and
// so did one whose mere opening took more than that.
constexpr auto kSlowRead = std::chrono::milliseconds(1);
constexpr auto kSlowOpen = std::chrono::microseconds(500);

} // namespace

// What a load on the pool says, kept to be said on the walk's thread in its turn.
class CTrackReader::CKeptReports : public IReporter {
public:
    void Report(std::string_view title, std::string_view text) override {
        reports_.emplace_back(title, text);
    }
    void SayTo(IReporter& reporter) const {
        for (const auto& [title, text] : reports_)
            reporter.Report(title, text);
    }

private:
    std::vector<std::pair<std::string, std::string>> reports_;
};

struct CTrackReader::SFolder {
    SFolder(std::string folderPath, int folderFd)
        : path(std::move(folderPath)), walkFd(folderFd), held(folderFd) {}

    std::string path;
    int walkFd; // the walk's descriptor of it, to know the next folder
    CHeldFolder held;
};

struct CTrackReader::SJob {
    std::shared_ptr<SFolder> folder;
    std::string name;
    CMp3File track;
    CPictureNote picture;
    bool isTrack = false;
    bool inMemory = false;
    CKeptReports reports;
    std::future<void> done;
};

CTrackReader::CTrackReader(std::size_t ahead, bool always, CReadPool& pool, ISink& sink,
                           IReporter& reporter, const STrackReadOptions& options)
    : ahead_(ahead), always_(always && ahead > 0), pool_(pool), sink_(sink), reporter_(reporter),
      options_(options), onPool_(always_) {}

// Jobs still running hold their own share of what they use; their records are dropped.
CTrackReader::~CTrackReader() = default;

void CTrackReader::Add(const std::string& directory, const std::string& name, int directoryFd) {
    if (onPool_ && inMemoryRun_ >= kInMemoryToStop) {
        Flush();
        onPool_ = false;
        sinceProbe_ = 1;
    }
    if (onPool_)
        Post(directory, name, directoryFd);
    else
        ReadHere(directory, name, directoryFd);
}

// The first visit of a collection goes to the pool at its first file; a walk over files in
// memory only probes one file in so many. Where the file system cannot say, a file whose
// reading took long says it.
void CTrackReader::ReadHere(const std::string& directory, const std::string& name,
                            int directoryFd) {
    const auto start = timed_ ? Clock::now() : Clock::time_point();
    CFile file;
    const auto opened = file.OpenAt(directoryFd, name, CFile::EMode::Read);
    if (ahead_ > 0 && opened == CFile::EOpenResult::Opened && file.Size() >= kTailBytes &&
        sinceProbe_++ % kProbeEvery == 0) {
        const std::optional<bool> inMemory = file.InMemory(file.Size() - kTailBytes, kTailBytes);
        timed_ = !inMemory;
        if (inMemory == false) {
            file.Close();
            GoToPool();
            Post(directory, name, directoryFd);
            return;
        }
    }
    Take(directory, name, file, opened);
    if (ahead_ > 0 && timed_ && start != Clock::time_point() && Clock::now() - start > kSlowRead)
        GoToPool();
}

void CTrackReader::Take(const std::string& directory, const std::string& name, const CFile& file,
                        CFile::EOpenResult opened) {
    CMp3File& track = sink_.NewTrack();
    CPictureNote picture;
    const bool isTrack =
        track.Load(directory, name, file, opened, reporter_, options_, &sink_.Texts(), &picture);
    sink_.TrackRead(isTrack, picture);
}

void CTrackReader::GoToPool() {
    onPool_ = true;
    inMemoryRun_ = 0;
}

void CTrackReader::Post(const std::string& directory, const std::string& name, int directoryFd) {
    if (!folder_ || folder_->walkFd != directoryFd || folder_->path != directory)
        folder_ = std::make_shared<SFolder>(directory, directoryFd);
    if (folder_->held.Fd() < 0) {
        // No descriptor to spare: once the files in flight are in, this one is read here.
        folder_.reset();
        Flush();
        CFile file;
        Take(directory, name, file, file.OpenAt(directoryFd, name, CFile::EMode::Read));
        return;
    }
    auto job = std::make_shared<SJob>();
    job->folder = folder_;
    job->name = name;
    auto task = std::make_shared<std::packaged_task<void()>>(
        [job = job.get(), options = options_] { Read(*job, options); });
    job->done = task->get_future();
    jobs_.push_back(job);
    // The task holds its job: a record dropped unread is not written to after.
    pool_.Post([task, keep = job] { (*task)(); }, false);
    while (jobs_.size() > ahead_)
        HandOn();
}

// The folder is let go as soon as its file is read: descriptors are held for the files being
// read, not for those waiting their turn.
void CTrackReader::Read(SJob& job, const STrackReadOptions& options) {
    STrackReadOptions ahead = options;
    ahead.readAhead = true;
    const auto start = Clock::now();
    CFile file;
    const auto opened = file.OpenAt(job.folder->held.Fd(), job.name, CFile::EMode::Read);
    if (opened == CFile::EOpenResult::Opened && file.Size() >= kTailBytes)
        job.inMemory = file.InMemory(file.Size() - kTailBytes, kTailBytes)
                           .value_or(Clock::now() - start < kSlowOpen);
    job.isTrack = job.track.Load(job.folder->path, job.name, file, opened, job.reports, ahead,
                                 nullptr, &job.picture);
    job.folder.reset();
}

void CTrackReader::Flush() {
    while (!jobs_.empty())
        HandOn();
}

// The record read on the pool takes the folder text of the one before it, as a record read
// here does.
void CTrackReader::HandOn() {
    const std::shared_ptr<SJob> job = std::move(jobs_.front());
    jobs_.pop_front();
    job->done.wait();
    job->reports.SayTo(reporter_);
    CMp3File& track = sink_.NewTrack();
    if (track.Directory() == job->track.Directory())
        job->track.ShareDirectory(track);
    track = std::move(job->track);
    sink_.TrackRead(job->isTrack, job->picture);
    inMemoryRun_ = job->inMemory && !always_ ? inMemoryRun_ + 1 : 0;
}
