#include "frame/CoverPane.h"

#include "frame/CoverWindow.h"
#include "views/LeftView.h"
#include "views/ListViewEx.h"
#include "views/QuavView.h"
#include "views/TrackTableModel.h"

#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

// The row the user looks at: the current one when it is selected, else the first selected.
int ChosenRow(const QItemSelectionModel* selection) {
    if (selection == nullptr || !selection->hasSelection())
        return -1;
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isSelected(current))
        return current.row();
    int top = -1;
    for (const QItemSelectionRange& range : selection->selection())
        if (top < 0 || range.top() < top)
            top = range.top();
    return top;
}

} // namespace

CCoverPane::CCoverPane(CCoverLoader& loader, CCoverLoader::Lookup lookup, QWidget* parent)
    : QLabel(parent), loader_(loader), lookup_(std::move(lookup)) {
    setObjectName(QStringLiteral("coverPane"));
    setAlignment(Qt::AlignCenter);
    setMinimumSize(1, 1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    hide();
    connect(&loader_, &CCoverLoader::Loaded, this,
            [this](CCoverLoader::Ticket ticket, const QImage& image) {
                if (ticket != ticket_)
                    return;
                ticket_ = 0;
                ShowImage(image);
            });
    connect(&loader_, &CCoverLoader::Failed, this, [this](CCoverLoader::Ticket ticket) {
        if (ticket != ticket_)
            return;
        ticket_ = 0;
        source_.reset();
        ShowImage({});
    });
}

CCoverPane::~CCoverPane() {
    if (ticket_ != 0)
        loader_.Cancel(ticket_);
}

void CCoverPane::Follow(CLeftView& tree, CQuavView& list) {
    tree_ = &tree;
    list_ = &list;
    connect(&tree, &QTreeWidget::currentItemChanged, this, &CCoverPane::Schedule);
    QItemSelectionModel* selection = list.List()->SelectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, &CCoverPane::Schedule);
    connect(selection, &QItemSelectionModel::currentChanged, this, &CCoverPane::Schedule);
    connect(list.List()->Model(), &QAbstractItemModel::modelReset, this, &CCoverPane::Schedule);
}

void CCoverPane::Schedule() {
    if (scheduled_ || !on_)
        return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        Update();
    });
}

void CCoverPane::SetEnabled(bool on) {
    on_ = on;
    if (on)
        Update();
    else
        ShowSource(std::nullopt);
}

void CCoverPane::Update() {
    if (!on_ || tree_ == nullptr || list_ == nullptr)
        return;
    const CMp3File* track = nullptr;
    const int row = ChosenRow(list_->List()->SelectionModel());
    if (row >= 0)
        track = list_->Model().Track(row);
    if (track == nullptr)
        if (const std::optional<TrackArray> tracks = tree_->NodeTracks(tree_->currentItem());
            tracks && !tracks->empty())
            track = tracks->front();
    ShowSource(track != nullptr ? lookup_(*track) : std::nullopt);
}

// The same cover again changes nothing; another one is asked for, the pane keeping its room
// (without the old picture) meanwhile.
void CCoverPane::ShowSource(std::optional<SCoverSource> source) {
    if (source == source_ && (ticket_ != 0 || !image_.isNull()))
        return;
    if (ticket_ != 0)
        loader_.Cancel(ticket_);
    ticket_ = 0;
    source_ = std::move(source);
    if (!source_) {
        ShowImage({});
        return;
    }
    if (std::optional<QImage> cached = loader_.Cached(*source_, Side())) {
        ShowImage(*cached);
        return;
    }
    clear();
    image_ = QImage();
    ticket_ = loader_.Request(*source_, Side());
}

void CCoverPane::ShowImage(const QImage& image) {
    image_ = image;
    setVisible(on_ && !image.isNull());
    if (image.isNull()) {
        clear();
        return;
    }
    const int side = SideFor(width());
    setPixmap(QPixmap::fromImage(
        image.width() > side || image.height() > side
            ? image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : image));
}

QSize CCoverPane::Side() const {
    return {kMaxSide, kMaxSide};
}

int CCoverPane::heightForWidth(int width) const {
    return SideFor(width);
}

int CCoverPane::SideFor(int width) const {
    constexpr int kColumnShare = 3; // a third of the column at most
    const int column =
        parentWidget() != nullptr ? parentWidget()->height() / kColumnShare : kMaxSide;
    return std::max(0, std::min({width, kMaxSide, column}));
}

void CCoverPane::Fit() {
    setFixedHeight(SideFor(width()));
    if (!image_.isNull())
        ShowImage(image_);
}

// The column's height sets the pane's as much as its width does: the pane follows its parent.
bool CCoverPane::event(QEvent* event) {
    if (event->type() == QEvent::ParentAboutToChange && parentWidget() != nullptr)
        parentWidget()->removeEventFilter(this);
    else if (event->type() == QEvent::ParentChange && parentWidget() != nullptr)
        parentWidget()->installEventFilter(this);
    return QLabel::event(event);
}

bool CCoverPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        Fit();
    return QLabel::eventFilter(watched, event);
}

QSize CCoverPane::sizeHint() const {
    return {kMaxSide, kMaxSide};
}

void CCoverPane::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Fit();
}

void CCoverPane::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !source_ || image_.isNull())
        return;
    if (window_ != nullptr)
        window_->close();
    window_ = new CCoverWindow(loader_, *source_, image_, window());
    window_->show();
}

CCoverWindow* CCoverPane::FullWindow() const {
    return window_.data();
}
