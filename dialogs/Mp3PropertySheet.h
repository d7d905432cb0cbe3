#pragma once

#include "catalog/DisplayMode.h"
#include "model/TrackArray.h"

#include <QDialog>
#include <QString>

#include <cstddef>
#include <vector>

class CMp3File;
class CMp3PropertyPage1;
class IReporter;

// The properties of the selected tracks, modal, with one page, "ID3 Tag", and OK and Cancel.
// One track fills the page with its values; with several the page starts blank, and only what
// is typed is applied to them all. OK is refused while a text is over its limit.
class CMp3PropertySheet : public QDialog {
    Q_OBJECT

public:
    explicit CMp3PropertySheet(TrackArray tracks, QWidget* parent = nullptr);

    CMp3PropertyPage1& Page() const { return *page_; }
    // Applies the page to each track, top to bottom, and writes its tag. A file that fails is
    // reported and the next one written. Returns how many tags were written.
    std::size_t WriteTags(IReporter& reporter) const;
    // Whether the edit can have moved tracks between the groups of the tree in `mode`: the
    // artist, or the genre or the album that the mode groups by, is not what the page showed.
    bool ChangesGrouping(EDisplayMode mode) const;

    void accept() override;

private:
    TrackArray tracks_;
    CMp3PropertyPage1* page_;
    QString shownArtist_;
    QString shownAlbum_;
    int shownGenre_;
};
