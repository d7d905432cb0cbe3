#pragma once

#include "model/TagEdit.h"

#include <QString>
#include <QWidget>

#include <cstddef>

class CMp3File;
class CTagFieldEdit;
class QComboBox;
class QLineEdit;

// The "ID3 Tag" page: title, artist, album, year, comment and genre, then the album artist, the
// track and the disc numbers. It starts blank with no genre, or holds the values of the one track
// it was filled from. What the user changes is the edit; a text left as it was, or emptied, is no
// part of it. A number of 0 takes the track's number away.
class CMp3PropertyPage1 : public QWidget {
    Q_OBJECT

public:
    explicit CMp3PropertyPage1(QWidget* parent = nullptr);

    // The track's values; an empty title shows the file name without its extension, a genre
    // the table lacks is the list's first entry.
    void Fill(const CMp3File& track);
    // The byte limits of the texts other than the year; no limit is SIZE_MAX.
    void SetLimits(std::size_t text, std::size_t comment);
    // Every text typed, and a genre of the table chosen other than the one shown.
    STagEdit Edit() const;
    // The first field typed in, in the order the values are taken, whose text exceeds its
    // limit. A text put in and left as it is never does.
    CTagFieldEdit* OverlongField() const;

    int Genre() const { return genre_; }
    // The fields that only an ID3v2 tag holds, on or off (off where none is written).
    void EnableId3v2Fields(bool enabled);

Q_SIGNALS:
    // A text or a number was typed.
    void Edited();

private:
    void LayOut();
    void FillGenres();
    void SelectGenre();

    CTagFieldEdit* title_;
    CTagFieldEdit* artist_;
    CTagFieldEdit* album_;
    CTagFieldEdit* year_;
    QComboBox* genres_;
    CTagFieldEdit* comment_;
    CTagFieldEdit* albumArtist_;
    QLineEdit* track_;
    QLineEdit* disc_;
    QString shownTrack_;
    QString shownDisc_;
    int genre_;
    int shownGenre_;
};
