#include "dialogs/Mp3PropertySheet.h"

#include "desktop/FrameStrings.h"
#include "desktop/MessageBoxReporter.h"
#include "desktop/TextCodec.h"
#include "dialogs/Mp3PropertyPage1.h"
#include "dialogs/TagFieldEdit.h"
#include "model/Mp3File.h"
#include "platform/StringTable.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <string>
#include <system_error>

namespace {

std::string FailureText(const CMp3File& track, const STagWriteResult& result) {
    if (result.status == STagWriteResult::EStatus::CannotOpen)
        return std::string(CStringTable::Get(EStringId::TagWriteFailed));
    const QString reason =
        QString::fromStdString(std::error_code(result.error, std::generic_category()).message());
    return CFrameStrings::Get(EStringId::MsgTagWriteError)
        .arg(CTextCodec::ToQString(track.FullPath()), reason)
        .toStdString();
}

} // namespace

CMp3PropertySheet::CMp3PropertySheet(TrackArray tracks, QWidget* parent)
    : QDialog(parent), tracks_(std::move(tracks)), page_(new CMp3PropertyPage1) {
    setObjectName(QStringLiteral("propertiesSheet"));
    setWindowTitle(CFrameStrings::Get(EStringId::PropertiesCaption));
    auto* tabs = new QTabWidget(this);
    tabs->addTab(page_, QStringLiteral("ID3 Tag"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    if (tracks_.size() == 1)
        page_->Fill(*tracks_.front());
    shownArtist_ = page_->ArtistText();
    shownAlbum_ = page_->AlbumText();
    shownGenre_ = page_->Genre();
}

// The first text over its limit keeps the sheet open, with the focus in it.
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

std::size_t CMp3PropertySheet::WriteTags(IReporter& reporter) const {
    std::size_t written = 0;
    for (CMp3File* track : tracks_) {
        page_->ApplyTo(*track);
        const STagWriteResult result = track->WriteTag();
        if (result.Written())
            ++written;
        else
            reporter.Report(CStringTable::Get(EStringId::AppTitle), FailureText(*track, result));
    }
    return written;
}

bool CMp3PropertySheet::ChangesGrouping(EDisplayMode mode) const {
    return page_->ArtistText() != shownArtist_ ||
           (mode == EDisplayMode::GenreArtist && page_->Genre() != shownGenre_) ||
           (mode == EDisplayMode::AlbumArtist && page_->AlbumText() != shownAlbum_);
}
