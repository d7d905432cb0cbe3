#pragma once

#include "model/FieldIds.h"
#include "model/Id3v1Tag.h"
#include "model/MpegHeader.h"
#include "model/PictureNote.h"
#include "model/RareFields.h"
#include "model/SharedText.h"
#include "model/TrackReadOptions.h"
#include "model/TrackTexts.h"
#include "platform/File.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class IReporter;
class CArchiveReader;
class CArchiveWriter;
class CFile;
class CId3v2Tag;
class CMpegStream;
class CTextPool;

// One MP3 file of the catalog: where it is, the texts of its tags (each field from the ID3v2 tag
// when it has one, else from the ID3v1 tag), its first MPEG frame header, its size and playing
// time (estimated, or exact from the encoder's counts). Other parts read it through field ids
// (model/FieldIds.h).
class CMp3File {
public:
    CMp3File();

    // Reads the file `directory`/`fileName`; false when it must not be listed (not a regular
    // file, shorter than a tag, unreadable). A file that cannot be opened at all is reported
    // and kept with default values; `options` come from the settings. `picture`, when given,
    // gets where the tag's front cover lies (none without one), which the record has no room
    // for: the list keeps it beside the record.
    bool Load(const std::string& directory, const std::string& fileName, IReporter& reporter,
              const STrackReadOptions& options = {}, CPictureNote* picture = nullptr);
    // The same for a file a walk opened before its turn; `opened` tells how that open went. The
    // texts read go into `pool` when one is given.
    bool Load(const std::string& directory, const std::string& fileName, const CFile& file,
              CFile::EOpenResult opened, IReporter& reporter, const STrackReadOptions& options = {},
              CTextPool* pool = nullptr, CPictureNote* picture = nullptr);
    // Reads the file again, as Load did, after its tags were written or failed to be: the
    // track then shows what the file holds. False, with the track as it was, when the file can
    // no longer be a track.
    bool Reload(const STrackReadOptions& options);

    std::string GetFieldText(EFieldId field) const;
    void AppendFieldText(EFieldId field, std::string& out) const;
    // The field's text where it lies; nullopt for the size and the time, which are formatted.
    std::optional<std::string_view> TextView(EFieldId field) const;
    // Every field's TextView at once, by field id (views[0] and the formatted fields empty),
    // for a reader of whole lines.
    using FieldViews = std::array<std::string_view, kFieldCount + 1>;
    void AllTextViews(FieldViews& views) const;
    // The texts the track keeps itself (names, tag texts, header texts that are no table
    // entry), one after the other: one look at them all serves every field that shows one.
    std::string_view OwnTexts() const { return texts_.Bytes(); }
    // Whether each of those texts is valid UTF-8, and so shows as its bytes; known once, when
    // the texts are stored.
    bool OwnTextsUtf8() const { return texts_.AllUtf8(); }
    // The table's name of the genre number, or the name the tag gave when the table lacks it.
    std::string_view GetGenreName() const;
    static int Compare(const CMp3File& a, const CMp3File& b, int key);
    static std::string FormatSize(std::int64_t sizeK);
    static std::string FormatDuration(std::int64_t seconds);
    static void AppendSize(std::string& out, std::int64_t sizeK);
    static void AppendDuration(std::string& out, std::int64_t seconds);

    // Snapshot record; `base` is the snapshot's directory ending in "/". Reading fails on a
    // record that is cut short, has a negative size or time, or places its file outside `base`;
    // the texts read go into `pool` when one is given. `before`, the record read just before,
    // spares the look at the texts this one repeats.
    void Serialize(CArchiveWriter& archive, std::string_view base) const;
    bool Serialize(CArchiveReader& archive, std::string_view base, CTextPool* pool = nullptr,
                   const CMp3File* before = nullptr);

    std::string FullPath() const;
    std::string_view FileName() const { return texts_.Get(ESlot::FileName); }
    std::string_view Directory() const { return directory_.View(); }
    std::string_view Title() const { return texts_.Get(ESlot::Title); }
    // Inline: sorting by artist asks for two per comparison.
    std::string_view Artist() const {
        return (flags_ & kArtistUndefined) != 0 ? Undefined() : texts_.Get(ESlot::Artist);
    }
    std::string_view Album() const {
        return (flags_ & kAlbumUndefined) != 0 ? Undefined() : texts_.Get(ESlot::Album);
    }
    std::string_view Year() const { return texts_.Get(ESlot::Year); }
    std::string_view Comment() const { return texts_.Get(ESlot::Comment); }
    std::string_view VersionLayerText() const;
    std::string_view BitrateText() const;
    std::string_view FrequencyText() const;
    std::string_view ModeText() const;
    std::uint8_t Genre() const { return genre_; }
    // A genre given by a name the table lacks; empty for a table genre.
    std::string_view GenreText() const { return texts_.Get(ESlot::GenreName); }
    // 0 when unknown.
    std::uint16_t Track() const { return track_; }
    int SizeK() const { return sizeK_; }
    // Bits a second: the rate of the first frame, or the average of a variable bitrate.
    int Bitrate() const;
    int Duration() const { return duration_; }
    bool HasTag() const { return (flags_ & kHasTag) != 0; }

    // What fewer tags say. The album artist is empty when the tag names none; one the same as
    // the artist is the artist's text, kept once.
    bool HasAlbumArtist() const {
        return (flags_ & kAlbumArtistIsArtist) != 0 || !AlbumArtistOwn().empty();
    }
    std::string_view AlbumArtist() const {
        return (flags_ & kAlbumArtistIsArtist) != 0 ? Artist() : AlbumArtistOwn();
    }
    // 0 when unknown.
    std::uint16_t Disc() const {
        const auto inRecord = static_cast<std::uint16_t>(flags_ >> kDiscShift);
        return inRecord != 0 ? inRecord : rare_.Disc();
    }
    bool Compilation() const { return (flags_ & kCompilation) != 0; }
    // Empty where the tag gives none.
    std::string_view ArtistSort() const { return rare_.Get(CRareFields::ESlot::ArtistSort); }
    std::string_view AlbumArtistSort() const {
        return rare_.Get(CRareFields::ESlot::AlbumArtistSort);
    }
    std::string_view AlbumSort() const { return rare_.Get(CRareFields::ESlot::AlbumSort); }
    // The artists the tag lists by name, when it lists more than the artist alone; empty
    // otherwise (the artist is then the one).
    std::vector<std::string_view> Artists() const;
    // The same names as kept, each ended by a NUL.
    std::string_view ArtistList() const { return rare_.Get(CRareFields::ESlot::Artists); }

    void SetTitle(const std::string& value) { texts_.Set(ESlot::Title, value); }
    void SetArtist(const std::string& value);
    void SetAlbum(const std::string& value);
    void SetYear(const std::string& value) { texts_.Set(ESlot::Year, value); }
    void SetComment(const std::string& value) { texts_.Set(ESlot::Comment, value); }
    // A table genre: any name the tag gave goes.
    void SetGenre(std::uint8_t value);
    void SetGenreText(std::string_view name) { texts_.Set(ESlot::GenreName, name); }
    void SetTrack(std::uint16_t value) { track_ = value; }
    // Empty: no album artist.
    void SetAlbumArtist(std::string_view value);
    void SetDisc(std::uint16_t value);
    void SetCompilation(bool value);
    void SetSortName(CRareFields::ESlot slot, std::string_view value) { rare_.Set(slot, value); }
    // A list of one that is the artist itself is no list.
    void SetArtists(const std::vector<std::string_view>& names);

    // The list that holds the track keeps its texts in its pool (model/TextPool.h): these move
    // them there once they are read, and give them back when the track goes.
    void PoolTexts(CTextPool& pool) { texts_.MoveInto(pool); }
    // Takes `track` over with its texts copied into `pool` at once, where a move would copy
    // pooled texts onto the heap first.
    void TakeOver(CMp3File&& track, CTextPool& pool);
    void ReleaseTexts(CTextPool& pool) { texts_.Release(pool); }

    // Takes the folder text of the track before this one in a list: a track loaded from the
    // same folder then keeps it instead of a copy of its own.
    void ShareDirectory(const CMp3File& previous) { directory_ = previous.directory_; }
    // The tracks of an album mostly have the same rare fields, which they then share. A record
    // about to take a track's values takes those of the record before it first: an assignment
    // or a load that gives the same values keeps that block.
    void StartFromRare(const CMp3File& previous) { rare_ = previous.rare_; }
    // Takes the rare fields' block of `other` when it holds the same values as this one's.
    void ShareRare(const CMp3File& other) { rare_.Share(other.rare_); }

private:
    using ESlot = CTrackTexts::ESlot;
    using EText = CMpegHeader::EText;
    // Artist and album read "Undefined" until a tag or a setter gives them a text; kHasTag: the
    // file ended in an ID3v1 tag when read, or has had one written.
    // kAlbumArtistIsArtist: the tag's album artist is the artist's text, not kept again. The
    // top bits hold a disc number up to 7; a larger one is kept with the rare fields.
    enum EFlag : std::uint8_t {
        kArtistUndefined = 1,
        kAlbumUndefined = 2,
        kHasTag = 4,
        kCompilation = 8,
        kAlbumArtistIsArtist = 16,
    };
    static constexpr unsigned kDiscShift = 5;
    static constexpr std::uint8_t kDiscInRecord = 0xE0;

    std::string_view AlbumArtistOwn() const { return rare_.Get(CRareFields::ESlot::AlbumArtist); }
    // The ID3v2 tag's rarer fields, once the track's own artist text is settled in `texts`.
    void TakeRareFields(const CId3v2Tag& tag, const CTrackTexts::Values& texts);

    void TakeId3v1(const CId3v1Tag::SView& tag, CTrackTexts::Values& texts);
    void TakeId3v2(const CFile& file, std::span<const std::uint8_t> head, CId3v2Tag& tag,
                   CTrackTexts::Values& texts);
    void TakeVbrHeader(const CMpegHeader& header, const CMpegStream& stream, std::int64_t audioEnd);
    void SetDirectory(std::string_view base, std::string_view relative = {});
    bool SameDirectory(std::string_view base, std::string_view relative) const;
    // Keeps the code of a table text, or the text itself in `texts` when it is no entry.
    void SetHeaderText(EText kind, std::string_view text, CTrackTexts::Values& texts);
    std::string_view HeaderText(EText kind) const;
    std::uint16_t HeaderCode(EText kind) const;
    void SetHeaderCode(EText kind, std::uint16_t code);
    static std::string_view Undefined();

    CTrackTexts texts_;
    CRareFields rare_;
    CSharedText directory_; // shared by the tracks of one folder
    int sizeK_ = 0;
    int duration_ = 0;
    // The header's codes (CMpegHeader::TextCode) in one word, by EText: see kCodeShift. A code
    // of 0: the text is in texts_. The bitrate's code is its kilobits.
    std::uint32_t headerCodes_ = 0;
    std::uint8_t genre_;
    std::uint8_t flags_ = kArtistUndefined | kAlbumUndefined;
    std::uint16_t track_ = 0;
};
