#include "views/FilterSearch.h"

#include "views/FoldedIndex.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

// The first place `word` starts in `size` bytes at `text`, or nullptr. The word's last byte is
// looked for first, by the C library's scan of many bytes a step: in UTF-8 the last byte of a
// letter beyond ASCII tells it from its neighbours, where its first byte is shared by its
// whole script. A word needs no table made for it, which short texts could not repay.
const char* Find(const char* text, std::size_t size, const std::string& word) {
    if (word.empty())
        return text;
    const std::size_t rest = word.size() - 1;
    if (size <= rest)
        return nullptr;
    const char* const end = text + size;
    for (const char* at = text + rest;; ++at) {
        at = static_cast<const char*>(
            std::memchr(at, word.back(), static_cast<std::size_t>(end - at)));
        if (at == nullptr)
            return nullptr;
        if (std::memcmp(at - rest, word.data(), rest) == 0)
            return at - rest;
    }
}

} // namespace

CFilterSearch::CFilterSearch(std::vector<std::string> words) : words_(std::move(words)) {}

CFilterSearch::CFilterSearch(std::vector<std::string> words, Positions candidates)
    : words_(std::move(words)), candidates_(std::move(candidates)), narrowed_(true) {}

bool CFilterSearch::Step(const CFoldedIndex& index, std::size_t count) {
    if (done_)
        return true;
    const std::size_t total = narrowed_ ? candidates_.size() : index.Size();
    const std::size_t stop = std::min(total, next_ + count);
    if (words_.empty())
        next_ = stop; // no word: nothing is looked for, nothing found
    else if (narrowed_)
        StepCandidates(index, stop);
    else
        StepAll(index, stop);
    next_ = stop;
    done_ = next_ == total;
    if (done_)
        candidates_ = {};
    return done_;
}

// Within one chunk the texts follow one another: the first word is looked for through all of
// them, and a place it is found at belongs to the track whose text holds that place. A word
// found across the end of a text is in none; no later place in that text can hold it either.
void CFilterSearch::StepAll(const CFoldedIndex& index, std::size_t stop) {
    const std::string& first = words_.front();
    std::size_t track = next_;
    if (track >= stop)
        return;
    for (std::size_t c = index.ChunkOf(track); track < stop; ++c) {
        const CFoldedIndex::SChunk& chunk = index.Chunks()[c];
        const std::size_t chunkStop =
            c + 1 < index.Chunks().size() ? std::min(stop, index.Chunks()[c + 1].firstTrack) : stop;
        const char* bytes = chunk.bytes.get();
        std::size_t at = index.Begin(track) - chunk.base;
        const std::size_t end = index.End(chunkStop - 1) - chunk.base;
        while (at < end) {
            const char* hit = Find(bytes + at, end - at, first);
            if (hit == nullptr)
                break;
            const auto place = static_cast<std::size_t>(hit - bytes);
            while (index.End(track) - chunk.base <= place)
                ++track;
            const std::size_t begin = index.Begin(track) - chunk.base;
            const std::size_t textEnd = index.End(track) - chunk.base;
            if (place + first.size() <= textEnd && HoldsOtherWords(bytes + begin, textEnd - begin))
                found_.push_back(static_cast<std::uint32_t>(track));
            at = textEnd;
            ++track;
        }
        track = chunkStop;
    }
}

// The candidates ascend, and so do the chunks their texts lie in.
void CFilterSearch::StepCandidates(const CFoldedIndex& index, std::size_t stop) {
    if (next_ >= stop)
        return;
    const std::vector<CFoldedIndex::SChunk>& chunks = index.Chunks();
    std::size_t c = index.ChunkOf(candidates_[next_]);
    for (std::size_t i = next_; i < stop; ++i) {
        const std::size_t track = candidates_[i];
        while (c + 1 < chunks.size() && chunks[c + 1].firstTrack <= track)
            ++c;
        const char* text = chunks[c].bytes.get() + (index.Begin(track) - chunks[c].base);
        const std::size_t size = index.End(track) - index.Begin(track);
        if (Find(text, size, words_.front()) != nullptr && HoldsOtherWords(text, size))
            found_.push_back(static_cast<std::uint32_t>(track));
    }
}

bool CFilterSearch::HoldsOtherWords(const char* text, std::size_t size) const {
    return std::all_of(words_.begin() + 1, words_.end(),
                       [&](const std::string& word) { return Find(text, size, word) != nullptr; });
}
