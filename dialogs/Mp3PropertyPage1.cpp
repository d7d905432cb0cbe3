#include "dialogs/Mp3PropertyPage1.h"

#include "desktop/FrameStrings.h"
#include "desktop/TextCodec.h"
#include "dialogs/TagFieldEdit.h"
#include "model/GenreTable.h"
#include "model/Mp3File.h"
#include "platform/Ascii.h"
#include "platform/StringIds.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

constexpr std::size_t kTextLimit = 30;
constexpr std::size_t kYearLimit = 4;
// The entry of a genre name the table lacks: choosing it changes nothing.
constexpr int kKeepGenre = -1;

// The page's geometry is given in dialog units: a quarter of the font's average character
// width across, an eighth of its height down, so that it grows with the font.
struct SDialogUnits {
    int x;
    int y;
};

struct SPlace {
    EStringId label;
    int labelX;
    int labelY;
    int x;
    int y;
    int width;
};

// Label, its place, then the control's place and width, in tab order. The fields that only an
// ID3v2 tag holds come last, the track and the disc standing as the year and the genre do.
constexpr std::array<SPlace, 9> kPlaces{{{EStringId::PropTitle, 7, 7, 52, 7, 134},
                                         {EStringId::PropArtist, 7, 23, 52, 23, 134},
                                         {EStringId::PropAlbum, 7, 39, 52, 39, 134},
                                         {EStringId::PropYear, 7, 55, 52, 55, 25},
                                         {EStringId::PropGenre, 81, 56, 108, 55, 79},
                                         {EStringId::PropComment, 7, 71, 52, 71, 134},
                                         {EStringId::PropAlbumArtist, 7, 87, 52, 87, 134},
                                         {EStringId::PropTrack, 7, 103, 52, 103, 25},
                                         {EStringId::PropDisc, 81, 104, 108, 103, 25}}};
constexpr int kLabelGap = 2;

// Fonts wider than the one the units were drawn for would push a label under its control:
// the unit across then grows until every label fits, and the page keeps its proportions.
SDialogUnits DialogUnits(const QFontMetrics& metrics) {
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int across = (metrics.horizontalAdvance(letters) + 26) / 52;
    for (const SPlace& place : kPlaces) {
        const int room = place.x - place.labelX - kLabelGap;
        const int width = metrics.horizontalAdvance(CFrameStrings::Get(place.label));
        across = std::max(across, (width * 4 + room - 1) / room);
    }
    return {across, metrics.height()};
}

int Across(SDialogUnits base, int units) {
    return units * base.x / 4;
}

int Down(SDialogUnits base, int units) {
    return units * base.y / 8;
}

constexpr int kPageWidth = 194;
constexpr int kPageHeight = 124;
// Track and disc numbers: up to four digits.
constexpr int kNumberDigits = 4;
constexpr int kControlHeight = 12;

bool LessNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char l, char r) {
        return CAscii::Lower(l) < CAscii::Lower(r);
    });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           CAscii::EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::string WithoutExtension(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    return std::string(dot == std::string_view::npos || dot == 0 ? fileName
                                                                 : fileName.substr(0, dot));
}

constexpr int kVisibleGenres = 20;

QLineEdit* NumberEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(kNumberDigits);
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(kNumberDigits)), edit));
    return edit;
}

QString NumberText(std::uint16_t number) {
    return number == 0 ? QString() : QString::number(number);
}

} // namespace

CMp3PropertyPage1::CMp3PropertyPage1(QWidget* parent)
    : QWidget(parent), title_(new CTagFieldEdit(kTextLimit, this)),
      artist_(new CTagFieldEdit(kTextLimit, this)), album_(new CTagFieldEdit(kTextLimit, this)),
      year_(new CTagFieldEdit(kYearLimit, this)), genres_(new QComboBox(this)),
      comment_(new CTagFieldEdit(kTextLimit, this)),
      albumArtist_(new CTagFieldEdit(SIZE_MAX, this)), track_(NumberEdit(this, "track")),
      disc_(NumberEdit(this, "disc")), genre_(kGenreNone), shownGenre_(kGenreNone) {
    title_->setObjectName(QStringLiteral("title"));
    artist_->setObjectName(QStringLiteral("artist"));
    album_->setObjectName(QStringLiteral("album"));
    year_->setObjectName(QStringLiteral("year"));
    genres_->setObjectName(QStringLiteral("genre"));
    // A drop-down of some twenty entries rather than one that covers the screen, as styles that
    // pop the list up over the current entry would show the whole table.
    genres_->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    genres_->setMaxVisibleItems(kVisibleGenres);
    comment_->setObjectName(QStringLiteral("comment"));
    albumArtist_->setObjectName(QStringLiteral("albumArtist"));
    LayOut();
    FillGenres();
    connect(genres_, &QComboBox::activated, this,
            [this](int index) { genre_ = genres_->itemData(index).toInt(); });
    for (QLineEdit* edit :
         {static_cast<QLineEdit*>(comment_), static_cast<QLineEdit*>(albumArtist_), track_, disc_})
        connect(edit, &QLineEdit::textEdited, this, &CMp3PropertyPage1::Edited);
}

void CMp3PropertyPage1::EnableId3v2Fields(bool enabled) {
    albumArtist_->setEnabled(enabled);
    disc_->setEnabled(enabled);
}

void CMp3PropertyPage1::LayOut() {
    const SDialogUnits units = DialogUnits(fontMetrics());
    const std::array<QWidget*, kPlaces.size()> controls{
        title_, artist_, album_, year_, genres_, comment_, albumArtist_, track_, disc_};
    for (std::size_t i = 0; i < kPlaces.size(); ++i) {
        const SPlace& place = kPlaces[i];
        const int height = std::max(Down(units, kControlHeight), controls[i]->sizeHint().height());
        controls[i]->setGeometry(Across(units, place.x), Down(units, place.y),
                                 Across(units, place.width), height);
        // A label stands level with the text of its control, however tall the style draws it.
        auto* label = new QLabel(CFrameStrings::Get(place.label), this);
        label->setBuddy(controls[i]);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setGeometry(Across(units, place.labelX), Down(units, place.labelY),
                           label->sizeHint().width(), height);
        if (i > 0)
            setTabOrder(controls[i - 1], controls[i]);
    }
    setFixedSize(Across(units, kPageWidth), Down(units, kPageHeight));
}

// Every genre number with its name, ordered by name without regard to case: the blank name of
// "no genre" comes first.
void CMp3PropertyPage1::FillGenres() {
    std::vector<int> numbers(kGenreCount);
    std::iota(numbers.begin(), numbers.end(), 0);
    std::stable_sort(numbers.begin(), numbers.end(), [](int a, int b) {
        return LessNoCase(genreNames[static_cast<std::size_t>(a)],
                          genreNames[static_cast<std::size_t>(b)]);
    });
    for (int number : numbers) {
        const std::string_view name = genreNames[static_cast<std::size_t>(number)];
        genres_->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())),
                         number);
    }
    SelectGenre();
}

// The first entry whose name begins with the genre's name, without regard to case. A number
// past the table selects nothing, and the list shows blank.
void CMp3PropertyPage1::SelectGenre() {
    if (genre_ < 0 || static_cast<std::size_t>(genre_) >= kGenreCount) {
        genres_->setCurrentIndex(-1);
        return;
    }
    const std::string_view name = genreNames[static_cast<std::size_t>(genre_)];
    for (int i = 0; i < genres_->count(); ++i) {
        const auto number = static_cast<std::size_t>(genres_->itemData(i).toInt());
        if (StartsWithNoCase(genreNames[number], name)) {
            genres_->setCurrentIndex(i);
            return;
        }
    }
}

void CMp3PropertyPage1::Fill(const CMp3File& track) {
    title_->SetBytes(std::string(track.Title()));
    if (track.Title().empty())
        title_->Propose(WithoutExtension(track.FileName()));
    artist_->SetBytes(std::string(track.Artist()));
    album_->SetBytes(std::string(track.Album()));
    year_->SetBytes(std::string(track.Year()));
    comment_->SetBytes(std::string(track.Comment()));
    albumArtist_->SetBytes(std::string(track.AlbumArtist()));
    shownTrack_ = NumberText(track.Track());
    track_->setText(shownTrack_);
    shownDisc_ = NumberText(track.Disc());
    disc_->setText(shownDisc_);
    genre_ = track.Genre();
    if (const std::string_view name = track.GenreText(); !name.empty()) {
        genres_->insertItem(0, CTextCodec::ToQString(name), kKeepGenre);
        genre_ = kKeepGenre;
        genres_->setCurrentIndex(0);
    } else {
        SelectGenre();
    }
    shownGenre_ = genre_;
}

void CMp3PropertyPage1::SetLimits(std::size_t text, std::size_t comment) {
    for (CTagFieldEdit* edit : {title_, artist_, album_})
        edit->SetByteLimit(text);
    comment_->SetByteLimit(comment);
}

STagEdit CMp3PropertyPage1::Edit() const {
    STagEdit edit;
    const std::array<std::pair<const CTagFieldEdit*, std::optional<std::string> STagEdit::*>, 6>
        fields{{{title_, &STagEdit::title},
                {artist_, &STagEdit::artist},
                {album_, &STagEdit::album},
                {year_, &STagEdit::year},
                {comment_, &STagEdit::comment},
                {albumArtist_, &STagEdit::albumArtist}}};
    for (const auto& [field, value] : fields) {
        if (field->IsChanged() && field->isEnabled())
            edit.*value = field->Bytes();
    }
    const std::array<
        std::tuple<const QLineEdit*, const QString*, std::optional<std::uint16_t> STagEdit::*>, 2>
        numbers{{{track_, &shownTrack_, &STagEdit::track}, {disc_, &shownDisc_, &STagEdit::disc}}};
    for (const auto& [field, shown, value] : numbers) {
        const QString text = field->text();
        if (!text.isEmpty() && text.toUInt() != shown->toUInt() && field->isEnabled())
            edit.*value = static_cast<std::uint16_t>(text.toUInt());
    }
    if (genre_ != kKeepGenre && genre_ != kGenreNone && genre_ != shownGenre_)
        edit.genre = static_cast<std::uint8_t>(genre_);
    return edit;
}

CTagFieldEdit* CMp3PropertyPage1::OverlongField() const {
    for (CTagFieldEdit* edit : {album_, artist_, comment_, title_, year_}) {
        if (edit->IsChanged() && !edit->FitsLimit())
            return edit;
    }
    return nullptr;
}
