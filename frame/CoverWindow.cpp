#include "frame/CoverWindow.h"

#include "desktop/FrameStrings.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

CCoverWindow::CCoverWindow(CCoverLoader& loader, const SCoverSource& source, const QImage& preview,
                           QWidget* parent)
    : QScrollArea(parent), loader_(loader), picture_(new QLabel) {
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("coverWindow"));
    const QString name =
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(source.path))).fileName();
    setWindowTitle(CFrameStrings::Get(EStringId::CoverWindowTitle).arg(name));
    picture_->setAlignment(Qt::AlignCenter);
    setWidget(picture_);
    setWidgetResizable(true);
    setAlignment(Qt::AlignCenter);
    Show(preview);
    connect(&loader_, &CCoverLoader::Loaded, this,
            [this](CCoverLoader::Ticket ticket, const QImage& image) {
                if (ticket != ticket_)
                    return;
                ticket_ = 0;
                Show(image);
            });
    connect(&loader_, &CCoverLoader::Failed, this, [this](CCoverLoader::Ticket ticket) {
        if (ticket == ticket_)
            ticket_ = 0;
    });
    ticket_ = loader_.RequestFull(source);
}

CCoverWindow::~CCoverWindow() {
    if (ticket_ != 0)
        loader_.Cancel(ticket_);
}

QSize CCoverWindow::PictureSize() const {
    return picture_->pixmap().size();
}

// The window takes the picture's size, within the screen's room.
void CCoverWindow::Show(const QImage& image) {
    picture_->setPixmap(QPixmap::fromImage(image));
    QSize room(800, 800);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        room = screen->availableSize() * 9 / 10;
    const int frame = 2 * frameWidth();
    resize(image.size().grownBy(QMargins(frame, frame, frame, frame)).boundedTo(room));
}
