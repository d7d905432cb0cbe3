#pragma once

#include "model/FieldIds.h"
#include "model/TagWriteResult.h"
#include "model/TrackReadOptions.h"
#include "platform/File.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class IReporter;
class CArchiveReader;
class CArchiveWriter;
class CFile;
class CMpegHeader;
class CMpegStream;

// One MP3 file of the catalog: where it is, its ID3v1 tag (or the texts of its ID3v2 tag), its
// first MPEG frame header, its size and playing time (estimated, or exact from the encoder's
// counts). Other parts read it through field ids (model/FieldIds.h).
class CMp3File {
public:
    CMp3File();

    // Reads the file `directory`/`fileName`; false when it must not be listed (not a regular
    // file, shorter than a tag, unreadable). A file that cannot be opened at all is reported
    // and kept with default values; `options` come from the settings.
    bool Load(const std::string& directory, const std::string& fileName, IReporter& reporter,
              const STrackReadOptions& options = {});
    // The same for a file a walk opened before its turn; `opened` tells how that open went.
    bool Load(const std::string& directory, const std::string& fileName, const CFile& file,
              CFile::EOpenResult opened, IReporter& reporter,
              const STrackReadOptions& options = {});
    // Writes the tag fields into the file: over its tag, or appended when it has none. The file
    // is left as it was when the write fails. A field that holds the text shown for a missing
    // artist or album is written empty; the record keeps showing it.
    STagWriteResult WriteTag();

    std::string GetFieldText(EFieldId field) const;
    void AppendFieldText(EFieldId field, std::string& out) const;
    std::string_view GetGenreName() const;
    static int Compare(const CMp3File& a, const CMp3File& b, int key);
    static std::string FormatSize(std::int64_t sizeK);
    static std::string FormatDuration(std::int64_t seconds);

    // Snapshot record; `base` is the snapshot's directory ending in "/". Reading fails on a
    // record that is cut short, has a negative size or time, or places its file outside `base`.
    void Serialize(CArchiveWriter& archive, std::string_view base) const;
    bool Serialize(CArchiveReader& archive, std::string_view base);

    std::string FullPath() const;
    const std::string& FileName() const { return fileName_; }
    const std::string& Directory() const { return directory_; }
    const std::string& Title() const { return title_; }
    const std::string& Artist() const { return artist_; }
    const std::string& Album() const { return album_; }
    const std::string& Year() const { return year_; }
    const std::string& Comment() const { return comment_; }
    const std::string& VersionLayerText() const { return versionLayerText_; }
    const std::string& BitrateText() const { return bitrateText_; }
    const std::string& FrequencyText() const { return frequencyText_; }
    const std::string& ModeText() const { return modeText_; }
    std::uint8_t Genre() const { return genre_; }
    int SizeK() const { return sizeK_; }
    int Bitrate() const { return bitrate_; }
    int Duration() const { return duration_; }
    bool HasTag() const { return hasTag_; }

    void SetTitle(std::string value) { title_ = std::move(value); }
    void SetArtist(std::string value) { artist_ = std::move(value); }
    void SetAlbum(std::string value) { album_ = std::move(value); }
    void SetYear(std::string value) { year_ = std::move(value); }
    void SetComment(std::string value) { comment_ = std::move(value); }
    void SetGenre(std::uint8_t value) { genre_ = value; }

private:
    void TakeId3v2(const CFile& file, std::span<const std::uint8_t> head);
    void TakeVbrHeader(const CMpegHeader& header, const CMpegStream& stream, std::int64_t audioEnd);
    // The member shown by a text field as it is stored; null for the formatted ones.
    const std::string* StoredText(EFieldId field) const;

    std::string fileName_;
    std::string directory_;
    std::string title_;
    std::string artist_;
    std::string album_;
    std::string year_;
    std::string comment_;
    std::string versionLayerText_;
    std::string bitrateText_;
    std::string frequencyText_;
    std::string modeText_;
    std::uint8_t genre_;
    int sizeK_ = 0;
    int bitrate_ = 0;
    int duration_ = 0;
    bool hasTag_ = false;
};
