#include "dialogs/Mp3PropertySheet.h"

#include "desktop/FrameStrings.h"
#include "desktop/MessageBoxReporter.h"
#include "desktop/TextCodec.h"
#include "dialogs/CoverPage.h"
#include "dialogs/Mp3PropertyPage1.h"
#include "dialogs/TagFieldEdit.h"
#include "model/Mp3File.h"
#include "model/TagWriter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/Utf8.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr std::size_t kId3v1Text = 30;
// ID3v1.1 gives the comment's last two bytes to the track number.
constexpr std::size_t kId3v1NumberedComment = 28;

QString Reason(const STagWriteResult& result) {
    switch (result.reason) {
    case STagWriteResult::EReason::HardLinks:
        return CFrameStrings::Get(EStringId::ReasonHardLinks);
    case STagWriteResult::EReason::Unsynchronised:
        return CFrameStrings::Get(EStringId::ReasonUnsynchronised);
    case STagWriteResult::EReason::CompressedOrEncrypted:
        return CFrameStrings::Get(EStringId::ReasonCompressed);
    case STagWriteResult::EReason::Unreadable:
        return CFrameStrings::Get(EStringId::ReasonUnreadable);
    case STagWriteResult::EReason::ForeignLink:
        return CFrameStrings::Get(EStringId::ReasonForeignLink);
    case STagWriteResult::EReason::NotRegular:
        return CFrameStrings::Get(EStringId::ReasonNotRegular);
    case STagWriteResult::EReason::Picture:
        return CFrameStrings::Get(EStringId::ReasonPicture);
    case STagWriteResult::EReason::None:
        break;
    }
    return QString::fromStdString(std::error_code(result.error, std::generic_category()).message());
}

std::string FailureText(const CMp3File& track, const STagWriteResult& result) {
    return CFrameStrings::Get(EStringId::MsgTagWriteError)
        .arg(CTextCodec::ToQString(track.FullPath()), Reason(result))
        .toStdString();
}

// One message for all the files that failed, told once every write is done: a message per file
// would hold the rest back, and many would have to be closed one by one. A long list names the
// first files and counts the others.
std::string FailureList(const std::vector<std::string>& failures) {
    constexpr std::size_t kListed = 10;
    std::string text;
    for (std::size_t i = 0; i < failures.size() && i < kListed; ++i)
        text += (i == 0 ? "" : "\n\n") + failures[i];
    if (failures.size() > kListed)
        text += "\n\n" + CFrameStrings::Get(EStringId::MsgMoreFailures)
                             .arg(static_cast<qulonglong>(failures.size() - kListed))
                             .toStdString();
    return text;
}

} // namespace

CMp3PropertySheet::CMp3PropertySheet(TrackArray tracks, SOptions options, QWidget* parent)
    : QDialog(parent), tracks_(std::move(tracks)), options_(options), page_(new CMp3PropertyPage1),
      cover_(new CCoverPage), note_(new QLabel(CFrameStrings::Get(EStringId::PropNewId3v2Note))) {
    setObjectName(QStringLiteral("propertiesSheet"));
    setWindowTitle(tracks_.size() == 1
                       ? CFrameStrings::Get(EStringId::PropertiesOneCaption)
                             .arg(CTextCodec::ToQString(tracks_.front()->FileName()))
                       : CFrameStrings::Get(EStringId::PropertiesManyCaption)
                             .arg(static_cast<qulonglong>(tracks_.size())));
    auto* tabs = new QTabWidget(this);
    tabs->addTab(page_, CFrameStrings::Get(EStringId::PropTagPage));
    tabs->addTab(cover_, CFrameStrings::Get(EStringId::PropCoverPage));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    note_->setObjectName(QStringLiteral("id3v2Note"));
    note_->setWordWrap(true);
    note_->hide();
    layout->addWidget(tabs);
    layout->addWidget(note_);
    layout->addWidget(buttons);
    if (tracks_.size() == 1) {
        page_->Fill(*tracks_.front());
        cover_->Fill(tracks_.front()->FullPath());
    } else {
        cover_->FillSeveral();
    }
    page_->EnableId3v2Fields(options_.writeId3v2);
    SetLimits();
    connect(page_, &CMp3PropertyPage1::Edited, this, &CMp3PropertySheet::UpdateNote);
}

bool CMp3PropertySheet::NotesNewId3v2() const {
    return !note_->isHidden();
}

// Told before OK, so that no file changes its kind of tag unannounced.
void CMp3PropertySheet::UpdateNote() {
    const STagEdit edit = page_->Edit();
    const bool gains =
        std::any_of(withoutId3v2_.begin(), withoutId3v2_.end(), [&edit](const CMp3File* track) {
            return CTagWriter::NeedsId3v2(*track, edit);
        });
    note_->setVisible(gains);
}

// A text of any length has a tag to go to whole where every file has an ID3v2 tag that the
// edit is written into; any other file keeps the texts in its ID3v1 tag alone.
void CMp3PropertySheet::SetLimits() {
    bool alone = false;
    bool numbered = false;
    for (const CMp3File* track : tracks_) {
        if (options_.writeId3v2 && CTagWriter::HasId3v2(track->FullPath()))
            continue;
        if (options_.writeId3v2)
            withoutId3v2_.push_back(track);
        alone = true;
        numbered = numbered || (track->Track() != 0 && track->Track() <= 0xFF);
    }
    const std::size_t text = alone ? kId3v1Text : SIZE_MAX;
    page_->SetLimits(text, alone && numbered ? kId3v1NumberedComment : text);
}

// The first typed text over its limit keeps the sheet open, with the focus in it.
void CMp3PropertySheet::accept() {
    if (CTagFieldEdit* field = page_->OverlongField()) {
        const QString text = CFrameStrings::Get(EStringId::MsgMaxCharacters)
                                 .arg(static_cast<qulonglong>(field->ByteLimit()));
        CMessageBoxReporter(this).Report(CStringTable::Get(EStringId::AppTitle),
                                         text.toStdString());
        field->setFocus();
        field->selectAll();
        return;
    }
    QDialog::accept();
}

std::size_t CMp3PropertySheet::WriteTags(IReporter& reporter) {
    STagEdit edit = page_->Edit();
    edit.cover = cover_->Edit();
    const CTagWriter writer(options_.writeId3v2);
    std::size_t written = 0;
    std::vector<std::string> failures;
    for (CMp3File* track : tracks_) {
        const std::string artist(track->Artist());
        const std::string album(track->Album());
        const std::string genre(track->GetGenreName());
        const std::string albumArtist(track->AlbumArtist());
        const STagWriteResult result = writer.Write(*track, edit);
        track->Reload(options_.read);
        artistMoved_ = artistMoved_ || !CUtf8::SameShown(artist, track->Artist());
        albumMoved_ = albumMoved_ || !CUtf8::SameShown(album, track->Album());
        genreMoved_ = genreMoved_ || !CUtf8::SameShown(genre, track->GetGenreName());
        albumArtistMoved_ =
            albumArtistMoved_ || !CUtf8::SameShown(albumArtist, track->AlbumArtist());
        if (result.Written())
            ++written;
        else
            failures.push_back(FailureText(*track, result));
    }
    if (!failures.empty())
        reporter.Report(CStringTable::Get(EStringId::AppTitle), FailureList(failures));
    return written;
}

// An artist node holds its albums, and the album artist files a track: in the artist and album
// modes both move it.
bool CMp3PropertySheet::ChangesGrouping(EDisplayMode mode) const {
    return artistMoved_ ||
           (mode == EDisplayMode::GenreArtist ? genreMoved_ : albumMoved_ || albumArtistMoved_);
}
