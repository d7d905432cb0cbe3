#include "dialogs/CoverPage.h"

#include "desktop/FrameStrings.h"
#include "desktop/MessageBox.h"
#include "desktop/MessageBoxReporter.h"
#include "model/EmbeddedCover.h"
#include "model/Id3v2Picture.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include <array>

namespace {

using EImage = SCoverSource::EImage;

struct SKindName {
    EImage image;
    const char* name;
    const char* extension;
};

constexpr std::array<SKindName, 3> kKindNames{{
    {EImage::Jpeg, "JPEG", "jpg"},
    {EImage::Png, "PNG", "png"},
    {EImage::WebP, "WebP", "webp"},
}};

const SKindName* KindName(EImage image) {
    for (const SKindName& kind : kKindNames) {
        if (kind.image == image)
            return &kind;
    }
    return nullptr;
}

QString KiloBytes(std::size_t bytes) {
    return CFrameStrings::Number((bytes + 1023) / 1024);
}

// The image decoded at most at `side` pixels a side, and its full size. Decoding takes no more
// memory than the limit allows: a picture that says it is 60000 pixels square is not decoded.
QImage Decoded(const std::vector<std::uint8_t>& bytes, int side, QSize& size) {
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    size = reader.size();
    if (!size.isValid())
        return {};
    if (size.width() > side || size.height() > side)
        reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatio));
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(CCoverPage::kDecodeLimitMb);
    QImage image = reader.read();
    QImageReader::setAllocationLimit(limit);
    return image;
}

} // namespace

CCoverPage::CCoverPage(QWidget* parent)
    : QWidget(parent), picture_(new QLabel(this)), info_(new QLabel(this)),
      replace_(new QPushButton(CFrameStrings::Get(EStringId::CoverReplace), this)),
      saveAs_(new QPushButton(CFrameStrings::Get(EStringId::CoverSaveAs), this)),
      remove_(new QPushButton(CFrameStrings::Get(EStringId::CoverRemove), this)),
      folder_(QDir::homePath()) {
    setObjectName(QStringLiteral("coverPage"));
    picture_->setObjectName(QStringLiteral("coverPicture"));
    info_->setObjectName(QStringLiteral("coverInfo"));
    replace_->setObjectName(QStringLiteral("coverReplace"));
    saveAs_->setObjectName(QStringLiteral("coverSaveAs"));
    remove_->setObjectName(QStringLiteral("coverRemove"));
    picture_->setFixedSize(kSide + 4, kSide + 4);
    picture_->setFrameShape(QFrame::StyledPanel);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setWordWrap(true);
    info_->setWordWrap(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(replace_);
    buttons->addWidget(saveAs_);
    buttons->addWidget(remove_);
    buttons->addStretch();
    auto* right = new QVBoxLayout;
    right->addLayout(buttons);
    right->addWidget(info_);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picture_, 0, Qt::AlignTop);
    layout->addLayout(right, 1);
    connect(replace_, &QPushButton::clicked, this, &CCoverPage::ChooseReplacement);
    connect(saveAs_, &QPushButton::clicked, this, &CCoverPage::ChooseSaveAs);
    connect(remove_, &QPushButton::clicked, this, &CCoverPage::Remove);
    Show();
}

void CCoverPage::Fill(const std::string& path) {
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    folder_ = QFileInfo(file).absolutePath();
    const auto cover = SEmbeddedCover::Read(path);
    shown_ = cover ? cover->bytes : std::vector<std::uint8_t>();
    Show();
}

void CCoverPage::FillSeveral() {
    several_ = true;
    Show();
}

void CCoverPage::Show() {
    saveAs_->setEnabled(!shown_.empty());
    remove_->setEnabled(!shown_.empty() || (several_ && !(edit_ && edit_->empty())));
    picture_->setPixmap({});
    info_->clear();
    if (shown_.empty()) {
        const EStringId text = edit_      ? EStringId::CoverRemoved
                               : several_ ? EStringId::CoverSeveral
                                          : EStringId::CoverNone;
        picture_->setText(CFrameStrings::Get(text));
        return;
    }
    const SKindName* kind = KindName(CId3v2Picture::Sniff(shown_));
    const QString name = kind != nullptr ? QLatin1String(kind->name) : QStringLiteral("?");
    QSize size;
    const QImage image = Decoded(shown_, kSide, size);
    if (image.isNull()) {
        picture_->setText(
            CFrameStrings::Get(EStringId::CoverNotShown).arg(name, KiloBytes(shown_.size())));
        return;
    }
    picture_->setPixmap(QPixmap::fromImage(image));
    info_->setText(CFrameStrings::Get(EStringId::CoverInfo)
                       .arg(size.width())
                       .arg(size.height())
                       .arg(name, KiloBytes(shown_.size())));
}

void CCoverPage::Tell(const QString& text) {
    CMessageBoxReporter(this).Report(CStringTable::Get(EStringId::AppTitle), text.toStdString());
}

// Only a regular file is read, and no more of it than a cover may hold: a FIFO would block, and
// a large file is no cover.
bool CCoverPage::Replace(const QString& file) {
    const QFileInfo info(file);
    QFile in(file);
    if (!info.isFile() || !in.open(QIODevice::ReadOnly)) {
        Tell(CFrameStrings::Get(EStringId::MsgCoverReadError)
                 .arg(QDir::toNativeSeparators(file),
                      info.isFile() ? in.errorString()
                                    : CFrameStrings::Get(EStringId::ReasonNotRegular)));
        return false;
    }
    const QByteArray bytes = in.read(static_cast<qint64>(CId3v2Picture::kMaxImageSize) + 1);
    std::vector<std::uint8_t> image(bytes.begin(), bytes.end());
    if (image.size() > CId3v2Picture::kMaxImageSize ||
        CId3v2Picture::Sniff(image) == EImage::Unknown) {
        Tell(CFrameStrings::Get(EStringId::MsgCoverNotImage).arg(QDir::toNativeSeparators(file)));
        return false;
    }
    if (image.size() > kAskAbove &&
        CMessageBox::Show(
            this, CFrameStrings::Get(EStringId::MsgCoverLarge).arg(KiloBytes(image.size())),
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    folder_ = info.absolutePath();
    shown_ = image;
    edit_ = std::move(image);
    Show();
    return true;
}

bool CCoverPage::SaveAs(const QString& file) {
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(reinterpret_cast<const char*>(shown_.data()),
                  static_cast<qint64>(shown_.size())) != static_cast<qint64>(shown_.size()) ||
        !out.commit()) {
        Tell(CFrameStrings::Get(EStringId::MsgCoverSaveError)
                 .arg(QDir::toNativeSeparators(file), out.errorString()));
        return false;
    }
    return true;
}

void CCoverPage::Remove() {
    shown_.clear();
    edit_.emplace();
    Show();
}

void CCoverPage::ChooseReplacement() {
    const QString file =
        QFileDialog::getOpenFileName(this, CFrameStrings::Get(EStringId::CoverChooseCaption),
                                     folder_, CFrameStrings::Get(EStringId::CoverFilter));
    if (!file.isEmpty())
        Replace(file);
}

void CCoverPage::ChooseSaveAs() {
    const SKindName* kind = KindName(CId3v2Picture::Sniff(shown_));
    const QString name =
        QStringLiteral("cover.") + QLatin1String(kind != nullptr ? kind->extension : "bin");
    const QString file = QFileDialog::getSaveFileName(
        this, CFrameStrings::Get(EStringId::CoverSaveCaption), QDir(folder_).filePath(name));
    if (!file.isEmpty())
        SaveAs(file);
}
