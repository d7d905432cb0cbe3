#pragma once

#include <QString>
#include <QWidget>

class CMp3File;
class CTagFieldEdit;
class QComboBox;

// The "ID3 Tag" page: title, artist, album, year, comment and genre. It starts blank with no
// genre, or holds the values of the one track it was filled from.
class CMp3PropertyPage1 : public QWidget {
    Q_OBJECT

public:
    explicit CMp3PropertyPage1(QWidget* parent = nullptr);

    // The track's values; an empty title shows the file name without its extension.
    void Fill(const CMp3File& track);
    // Every field that is not empty, and a genre other than none, becomes the track's.
    void ApplyTo(CMp3File& track) const;
    // The first field, in the order the values are taken, whose text exceeds its limit.
    CTagFieldEdit* OverlongField() const;

    int Genre() const { return genre_; }
    QString ArtistText() const;
    QString AlbumText() const;

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
    int genre_;
};
