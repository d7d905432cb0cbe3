#pragma once

#include "model/Mp3File.h"
#include "model/TrackReadOptions.h"
#include "platform/File.h"

#include <cstddef>
#include <deque>
#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CReadPool;
class IReporter;

// The files of a walk read into track records, which reach the list in the order the files
// were found whoever read them. While the files' bytes are in memory each is read at once, on
// the walk's thread: a thread would only cost time there. Once a file is found that is not (a
// collection's first visit, a share), files are read on the pool, up to `ahead` of them at
// once, and each record is handed on when its turn comes; reading goes back to the walk's
// thread after a run of files that were in memory.
class CTrackReader {
public:
    // Where the records go, on the walk's thread, in the order the files were added.
    class ISink {
    public:
        // A record with its defaults at the end of the list.
        virtual CMp3File& NewTrack() = 0;
        // Where the texts of a record filled in place go (model/TextPool.h).
        virtual CTextPool& Texts() = 0;
        // The record last made was read; `isTrack` false when it must not be listed. `picture`:
        // where its tag's front cover lies.
        virtual void TrackRead(bool isTrack, CPictureNote picture) = 0;

    protected:
        ~ISink() = default;
    };

    // `ahead` 0 reads every file on the walk's thread; `always` reads them on the pool even
    // while they are in memory (to compare the two).
    CTrackReader(std::size_t ahead, bool always, CReadPool& pool, ISink& sink, IReporter& reporter,
                 const STrackReadOptions& options);
    CTrackReader(const CTrackReader&) = delete;
    CTrackReader& operator=(const CTrackReader&) = delete;
    ~CTrackReader();

    // Reads `name` in the open folder `directoryFd`, whose path is `directory`, or has it read.
    void Add(const std::string& directory, const std::string& name, int directoryFd);
    // Hands on every record still being read.
    void Flush();
    // Whether files are being read on the pool: the walk then lists folders ahead too.
    bool OnPool() const { return onPool_; }

private:
    class CKeptReports;
    struct SFolder;
    struct SJob;

    void ReadHere(const std::string& directory, const std::string& name, int directoryFd);
    void Take(const std::string& directory, const std::string& name, const CFile& file,
              CFile::EOpenResult opened);
    void GoToPool();
    void Post(const std::string& directory, const std::string& name, int directoryFd);
    void HandOn();
    static void Read(SJob& job, const STrackReadOptions& options);

    std::size_t ahead_;
    bool always_;
    CReadPool& pool_;
    ISink& sink_;
    IReporter& reporter_;
    STrackReadOptions options_;
    bool onPool_;
    std::size_t sinceProbe_ = 0;
    bool timed_ = false;              // the file system cannot say what is in memory: times tell
    std::size_t inMemoryRun_ = 0;     // files read on the pool in a row that were in memory
    std::shared_ptr<SFolder> folder_; // the folder of the files being added, held for the pool
    std::deque<std::shared_ptr<SJob>> jobs_;
};
