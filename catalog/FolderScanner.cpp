#include "catalog/FolderScanner.h"

#include "catalog/HeldFolder.h"
#include "catalog/ReadPool.h"
#include "model/FolderImages.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

// Subfolders of one folder listed ahead of the walk, and of all folders at once: each holds a
// descriptor until the walk enters it.
constexpr std::size_t kListAhead = 16;

// Reads a folder's entries in batches straight from its descriptor, "." and ".." left out, until
// `found` returns false; false then.
template <class Found>
bool ReadListing(int fd, std::vector<char>& listing, const Found& found) {
    ssize_t got = 0;
    while ((got = ::getdents64(fd, listing.data(), listing.size())) > 0) {
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(listing.data() + at);
            const std::string_view name = entry->d_name;
            if (name != "." && name != ".." && !found(name, entry->d_type))
                return false;
            at += entry->d_reclen;
        }
    }
    return true;
}

std::string LastComponent(const std::string& directory) {
    const auto slash = directory.rfind('/');
    return slash == std::string::npos ? directory : directory.substr(slash + 1);
}

} // namespace

CFolderScanner::CFolderScanner(std::string pattern, FileFound onFile, FolderEntered onFolder)
    : pattern_(std::move(pattern)), onFile_(std::move(onFile)), onFolder_(std::move(onFolder)) {}

bool CFolderScanner::Scan(std::string directory) {
    if (!directory.empty() && directory.back() == '/')
        directory.pop_back();
    const int fd = CFolderChain::OpenFolder(AT_FDCWD, directory.empty() ? "/" : directory.c_str());
    if (fd < 0)
        return true;
    path_ = directory;
    bool goOn = Enter(fd, LastComponent(directory), true);
    while (!pending_.empty()) {
        if (!goOn) {
            Leave();
            continue;
        }
        SPending& top = pending_.back();
        if (top.next == top.subfolders.size() || chain_.TopFd() < 0) {
            Leave();
            continue;
        }
        const std::size_t index = top.next++;
        const std::string name = top.subfolders[index]; // Enter grows pending_
        std::shared_ptr<SListing> listed;
        if (index < top.listings.size() && top.listings[index]) {
            listed = std::move(top.listings[index]);
            --listingsAsked_;
        }
        AskAhead(top);
        // The listings asked for hold the folder themselves: a copy kept for each folder of a
        // deep chain would use up the descriptors that the chain's limit saves.
        top.held.reset();
        if (listed) {
            listed->done.wait();
            if (listed->fd < 0) // opened here, as without the pool, before it counts as gone
                listed.reset();
        }
        const int child = listed ? std::exchange(listed->fd, -1)
                                 : CFolderChain::OpenFolder(chain_.TopFd(), name.c_str());
        if (child >= 0)
            goOn = Enter(child, name, false, listed.get());
    }
    return goOn;
}

void CFolderScanner::ListAhead(CReadPool& pool, std::function<bool()> when) {
    pool_ = &pool;
    listAhead_ = std::move(when);
}

// The next few subfolders of a folder of the chain not yet asked for are asked for, within the
// walk's limit of descriptors held.
void CFolderScanner::AskAhead(SPending& pending) {
    if (pool_ == nullptr || !listAhead_ || !listAhead_())
        return;
    const std::size_t end = std::min(pending.subfolders.size(), pending.next + kListAhead);
    if (pending.listings.size() < end)
        pending.listings.resize(end);
    const std::size_t most = 2 * pool_->Size();
    for (std::size_t i = pending.next; i < end && listingsAsked_ < most; ++i) {
        if (pending.listings[i])
            continue;
        if (!pending.held)
            pending.held = std::make_shared<const CHeldFolder>(chain_.TopFd());
        auto listing = std::make_shared<SListing>();
        listing->parent = pending.held;
        listing->name = pending.subfolders[i];
        auto task =
            std::make_shared<std::packaged_task<void()>>([job = listing.get()] { List(*job); });
        listing->done = task->get_future();
        pending.listings[i] = listing;
        ++listingsAsked_;
        pool_->Post([task, keep = std::move(listing)] { (*task)(); }, true);
    }
}

void CFolderScanner::List(SListing& listing) {
    listing.fd = CFolderChain::OpenFolder(listing.parent->Fd(), listing.name.c_str());
    if (listing.fd < 0)
        return;
    listing.identified = CFolderChain::ReadId(listing.fd, listing.id);
    std::vector<char> buffer(32768);
    ReadEntries(listing.fd, buffer, listing.entries);
}

CFolderScanner::SListing::~SListing() {
    if (fd >= 0)
        ::close(fd);
}

// A folder is known by its own device and inode, read from the open folder: below a mount
// point the parent's device says nothing about the inode numbers.
bool CFolderScanner::Enter(int fd, const std::string& name, bool start, SListing* listed) {
    CFolderChain::SFolderId id;
    const bool identified = listed ? listed->identified : CFolderChain::ReadId(fd, id);
    if (listed)
        id = listed->id;
    if (!identified || !visited_.Insert(id)) {
        ::close(fd);
        return true;
    }
    const std::size_t parentPathLength = path_.size();
    if (!start) {
        path_ += '/';
        path_ += name;
    }
    if (listed)
        entries_ = std::move(listed->entries);
    else
        ReadEntries(fd, listing_, entries_);
    if (onFolder_) {
        CFolderImages::CChooser image;
        for (const SEntry& entry : entries_)
            if (entry.type != DT_DIR)
                image.Offer(entry.name);
        onFolder_(path_, id, image.Best());
    }
    std::vector<std::string> subfolders;
    for (const SEntry& entry : entries_)
        if (MayBeFolder(entry))
            subfolders.push_back(entry.name);
    chain_.Push(fd, name, id);
    pending_.push_back({std::move(subfolders), 0, parentPathLength, {}, {}});
    AskAhead(pending_.back()); // before the files, whose reading may wait
    bool goOn = true;
    for (const SEntry& entry : entries_)
        if (goOn && pattern_.Matches(entry.name))
            goOn = onFile_(path_, entry.name, fd);
    // The listing of a folder of tens of thousands of entries is not kept for the rest of the
    // walk, whose folders are small.
    if (entries_.capacity() > kEntriesKept)
        entries_ = {};
    return goOn;
}

bool CFolderScanner::MayBeFolder(unsigned char type) {
    return type == DT_DIR || type == DT_LNK || type == DT_UNKNOWN;
}

bool CFolderScanner::ForEachEntry(int fd, const EntryFound& found) {
    std::vector<char> listing(32768);
    return ReadListing(fd, listing, found);
}

std::vector<CFolderScanner::SEntry> CFolderScanner::ListFolder(int fd) {
    std::vector<char> listing(32768);
    std::vector<SEntry> entries;
    ReadEntries(fd, listing, entries);
    return entries;
}

void CFolderScanner::ReadEntries(int fd, std::vector<char>& listing, std::vector<SEntry>& entries) {
    entries.clear();
    ReadListing(fd, listing, [&entries](std::string_view name, unsigned char type) {
        entries.push_back({std::string(name), type});
        return true;
    });
    std::sort(entries.begin(), entries.end(),
              [](const SEntry& a, const SEntry& b) { return a.name < b.name; });
}

// Listings asked for and never entered (the walk was stopped) close their folders once read.
void CFolderScanner::Leave() {
    for (const auto& listing : pending_.back().listings)
        if (listing)
            --listingsAsked_;
    path_.resize(pending_.back().parentPathLength);
    pending_.pop_back();
    chain_.Pop();
}
