#pragma once

#include "catalog/FilePattern.h"
#include "catalog/FolderChain.h"
#include "catalog/FolderIdSet.h"

#include <cstddef>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The recursive walk of one directory: the matching files of a directory in name order, then
// its subdirectories, depth first. A directory already walked (reached again through a link) is
// not walked twice, which is what ends every loop; a folder named like its parent (a
// self-titled album in an Artist/Album layout) is walked as any other. Each folder is opened
// through its parent's descriptor, so neither depth nor path length is limited.
class CHeldFolder;
class CReadPool;

class CFolderScanner {
public:
    // Given the directory's path, the entry's name, and the directory open while it is read;
    // false ends the walk there.
    using FileFound =
        std::function<bool(const std::string& directory, const std::string& name, int directoryFd)>;

    // Given the path of each folder as it is entered, before its files, its identity, and the
    // name of its cover image (CFolderImages), empty where it has none.
    using FolderEntered = std::function<void(
        const std::string& directory, const CFolderChain::SFolderId& id, std::string_view image)>;

    struct SEntry {
        std::string name;
        unsigned char type; // DT_*, as the folder listing gives it
    };

    CFolderScanner(std::string pattern, FileFound onFile, FolderEntered onFolder = {});
    // While `when` says so, the next subfolders are opened and listed ahead on `pool`, a few
    // for each folder of the chain: where each request waits, the walk then never waits for a
    // folder. Which are entered, and in what order, stays the walk's own.
    void ListAhead(CReadPool& pool, std::function<bool()> when);
    // False when FileFound ended the walk before its end.
    bool Scan(std::string directory);
    // The entries of an open folder sorted by name, byte by byte, as the walk takes them; "."
    // and ".." left out.
    static std::vector<SEntry> ListFolder(int fd);
    // Each entry of an open folder in the folder's own order, "." and ".." left out, until
    // `found` returns false; false then. Nothing is kept: a folder of tens of thousands of
    // entries is compared with what is known without a copy of its listing.
    using EntryFound = std::function<bool(std::string_view name, unsigned char type)>;
    static bool ForEachEntry(int fd, const EntryFound& found);
    // Whether a listed entry may be a folder to go into.
    static bool MayBeFolder(const SEntry& entry) { return MayBeFolder(entry.type); }
    static bool MayBeFolder(unsigned char type);

private:
    // A subfolder opened and listed on the pool.
    struct SListing {
        SListing() = default;
        SListing(const SListing&) = delete;
        SListing& operator=(const SListing&) = delete;
        ~SListing();

        std::shared_ptr<const CHeldFolder> parent;
        std::string name;
        int fd = -1;
        bool identified = false;
        CFolderChain::SFolderId id{};
        std::vector<SEntry> entries;
        std::future<void> done;
    };
    // What is left to do in one folder of the chain.
    struct SPending {
        std::vector<std::string> subfolders; // entries that may be folders, in name order
        std::size_t next;
        std::size_t parentPathLength;
        std::vector<std::shared_ptr<SListing>> listings; // by subfolder, those asked for
        std::shared_ptr<const CHeldFolder> held;         // the folder, for the pool
    };

    bool Enter(int fd, const std::string& name, bool start, SListing* listed = nullptr);
    static void ReadEntries(int fd, std::vector<char>& listing, std::vector<SEntry>& entries);
    void AskAhead(SPending& pending);
    static void List(SListing& listing);
    void Leave();

    CFilePattern pattern_;
    FileFound onFile_;
    FolderEntered onFolder_;
    // Looked up once a folder: a tree of thousands of nodes costs a cache miss a level there.
    CFolderIdSet visited_;
    CFolderChain chain_;
    std::vector<SPending> pending_;
    std::string path_;
    std::vector<char> listing_ = std::vector<char>(32768);
    std::vector<SEntry> entries_; // of the folder being entered
    static constexpr std::size_t kEntriesKept = 1024;
    CReadPool* pool_ = nullptr;
    std::function<bool()> listAhead_;
    std::size_t listingsAsked_ = 0; // and not yet entered or dropped
};
