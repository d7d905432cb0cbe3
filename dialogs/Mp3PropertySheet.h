#pragma once

#include "catalog/DisplayMode.h"
#include "model/TrackArray.h"
#include "model/TrackReadOptions.h"

#include <QDialog>

#include <cstddef>
#include <vector>

class CCoverPage;
class CMp3File;
class CMp3PropertyPage1;
class IReporter;
class QLabel;

// The properties of the selected tracks, modal, with the pages "ID3 Tag" and "Cover", and OK and
// Cancel.
// One track fills the page with its values; with several the page starts blank, and only what
// is typed is applied to them all. A text's 30-byte limit holds where a selected file will get
// an ID3v1 tag alone; OK is refused while a typed text is over its limit. A note under the page
// says when a file without an ID3v2 tag will gain one for a value its ID3v1 tag cannot hold.
class CMp3PropertySheet : public QDialog {
    Q_OBJECT

public:
    struct SOptions {
        bool writeId3v2 = true; // the WriteId3v2 setting
        STrackReadOptions read; // how a track is read again after its write
    };

    CMp3PropertySheet(TrackArray tracks, SOptions options, QWidget* parent = nullptr);

    CMp3PropertyPage1& Page() const { return *page_; }
    CCoverPage& Cover() const { return *cover_; }
    // Whether the note that an ID3v2 tag will be added shows.
    bool NotesNewId3v2() const;
    // Writes the page's edit into each track's file, top to bottom; each track then reads its
    // file again, so that it shows what the file holds whether or not the write went through.
    // A file that fails is reported, with its path and the reason, and the next one written.
    // Returns how many files were written.
    std::size_t WriteTags(IReporter& reporter);
    // Whether the tags written can have moved tracks between the groups of the tree in `mode`:
    // a track's artist, or the genre, album or album artist that the mode groups by, shows
    // otherwise.
    bool ChangesGrouping(EDisplayMode mode) const;

    void accept() override;

private:
    void SetLimits();
    void UpdateNote();

    TrackArray tracks_;
    SOptions options_;
    CMp3PropertyPage1* page_;
    CCoverPage* cover_;
    QLabel* note_;
    std::vector<const CMp3File*> withoutId3v2_; // the tracks that an edit may give one
    bool artistMoved_ = false;
    bool genreMoved_ = false;
    bool albumMoved_ = false;
    bool albumArtistMoved_ = false;
};
