#include "dialogs/AdvancedPage.h"

#include "desktop/FrameStrings.h"
#include "dialogs/OptionValues.h"
#include "platform/StringIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QCheckBox* Check(EStringId text, const char* name, int value) {
    auto* box = new QCheckBox(CFrameStrings::Get(text));
    box->setObjectName(QLatin1String(name));
    box->setChecked(value != 0);
    return box;
}

QLineEdit* Edit(const QString& text, const char* name) {
    auto* edit = new QLineEdit(text);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

int Flag(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

} // namespace

CAdvancedPage::CAdvancedPage(const SOptionValues& values, QWidget* parent)
    : COptionPage(parent), originalPlay_(values.commandPlay),
      originalEnqueue_(values.commandEnqueue), originalArticles_(values.ignoredArticles) {
    useCache_ = Check(EStringId::OptUseCache, "useCachedCatalog", values.useCachedCatalog);
    systray_ = Check(EStringId::OptSystray, "minimizeToSystray", values.minimizeToSystray);
    // By level: 0 takes a cache file as it is, 1 looks at its folders, 2 at its files too.
    checkForChanges_ = new QComboBox;
    checkForChanges_->setObjectName(QStringLiteral("checkForChanges"));
    checkForChanges_->addItems({CFrameStrings::Get(EStringId::OptNeverCheck),
                                CFrameStrings::Get(EStringId::OptCheckFolders),
                                CFrameStrings::Get(EStringId::OptCheckFiles)});
    checkForChanges_->setCurrentIndex(std::clamp(values.checkForChanges, 0, 2));
    // A network share tells no watch of its changes: its folders are looked at now and then.
    pollSeconds_ = new QSpinBox;
    pollSeconds_->setObjectName(QStringLiteral("pollSeconds"));
    pollSeconds_->setRange(0, kMaxPollSeconds);
    pollSeconds_->setSuffix(QStringLiteral(" s"));
    pollSeconds_->setSpecialValueText(CFrameStrings::Get(EStringId::OptPollNever));
    pollSeconds_->setValue(std::clamp(values.pollSeconds, 0, kMaxPollSeconds));
    auto* changes = new QFormLayout;
    changes->addRow(CFrameStrings::Get(EStringId::OptLookForChanges), checkForChanges_);
    changes->addRow(CFrameStrings::Get(EStringId::OptPollEvery), pollSeconds_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeCommands(values));
    layout->addWidget(MakeMaximum(values));
    layout->addWidget(useCache_);
    layout->addLayout(changes);
    layout->addWidget(systray_);
    layout->addWidget(MakeReading(values));
    layout->addWidget(MakeArtistTree(values));
    treeCovers_ = Check(EStringId::LabelTreeCovers, "treeCovers", values.treeCovers);
    layout->addWidget(treeCovers_);
    layout->addStretch();
}

QGroupBox* CAdvancedPage::MakeCommands(const SOptionValues& values) {
    play_ = Edit(Shown(values.commandPlay), "commandPlay");
    enqueue_ = Edit(Shown(values.commandEnqueue), "commandEnqueue");
    auto* group = new QGroupBox(CFrameStrings::Get(EStringId::OptShellCommand));
    auto* form = new QFormLayout(group);
    form->addRow(CFrameStrings::Get(EStringId::OptPlayCommand), play_);
    form->addRow(CFrameStrings::Get(EStringId::OptEnqueueCommand), enqueue_);
    return group;
}

QGroupBox* CAdvancedPage::MakeMaximum(const SOptionValues& values) {
    maxRow_ = Edit(QString::number(values.maxRow), "maxRow");
    auto* group = new QGroupBox(CFrameStrings::Get(EStringId::OptMaxRows));
    (new QFormLayout(group))->addRow(CFrameStrings::Get(EStringId::OptMaximum), maxRow_);
    return group;
}

// The readers take effect at the next walk of a directory (a cache file keeps what was read
// before), the writer at the next edit of tags.
QGroupBox* CAdvancedPage::MakeReading(const SOptionValues& values) {
    exactVbrTime_ = Check(EStringId::OptExactVbrTime, "exactVbrTime", values.exactVbrTime);
    readId3v2_ = Check(EStringId::OptReadId3v2, "readId3v2", values.readId3v2);
    writeId3v2_ = Check(EStringId::OptWriteId3v2, "writeId3v2", values.writeId3v2);
    auto* group = new QGroupBox(CFrameStrings::Get(EStringId::OptTrackTags));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(exactVbrTime_);
    groupLayout->addWidget(readId3v2_);
    groupLayout->addWidget(writeId3v2_);
    return group;
}

// Taken at the next grouping: the next open of an address or change of display mode.
QGroupBox* CAdvancedPage::MakeArtistTree(const SOptionValues& values) {
    groupByAlbumArtist_ =
        Check(EStringId::OptGroupByAlbumArtist, "groupByAlbumArtist", values.groupByAlbumArtist);
    detectCompilations_ =
        Check(EStringId::OptDetectCompilations, "detectCompilations", values.detectCompilations);
    ignoredArticles_ = Edit(Shown(values.ignoredArticles), "ignoredArticles");
    // The folder rule and the articles serve the grouping by album artist alone.
    const auto follow = [this](bool on) {
        detectCompilations_->setEnabled(on);
        ignoredArticles_->setEnabled(on);
    };
    connect(groupByAlbumArtist_, &QCheckBox::toggled, this, follow);
    follow(groupByAlbumArtist_->isChecked());
    auto* group = new QGroupBox(CFrameStrings::Get(EStringId::OptArtistTree));
    auto* groupLayout = new QFormLayout(group);
    groupLayout->addRow(groupByAlbumArtist_);
    groupLayout->addRow(detectCompilations_);
    groupLayout->addRow(CFrameStrings::Get(EStringId::OptIgnoredArticles), ignoredArticles_);
    return group;
}

void CAdvancedPage::Store(SOptionValues& values) const {
    values.commandPlay = Typed(play_->text(), originalPlay_);
    values.commandEnqueue = Typed(enqueue_->text(), originalEnqueue_);
    values.maxRow = maxRow_->text().toInt();
    values.useCachedCatalog = Flag(useCache_);
    values.minimizeToSystray = Flag(systray_);
    values.checkForChanges = checkForChanges_->currentIndex();
    values.pollSeconds = pollSeconds_->value();
    values.exactVbrTime = Flag(exactVbrTime_);
    values.readId3v2 = Flag(readId3v2_);
    values.writeId3v2 = Flag(writeId3v2_);
    values.groupByAlbumArtist = Flag(groupByAlbumArtist_);
    values.detectCompilations = Flag(detectCompilations_);
    values.ignoredArticles = Typed(ignoredArticles_->text(), originalArticles_);
    values.treeCovers = Flag(treeCovers_);
}

// A whole number: an optional sign and decimal digits, spaces around them allowed.
QString CAdvancedPage::Failure() const {
    bool whole = false;
    const int rows = maxRow_->text().toInt(&whole, 10);
    if (!whole)
        return CFrameStrings::Get(EStringId::MsgEnterInteger);
    if (rows < kMinRows || rows > kMaxRows)
        return CFrameStrings::Get(EStringId::MsgEnterIntegerRange).arg(kMinRows).arg(kMaxRows);
    return {};
}

void CAdvancedPage::FocusFailure() {
    maxRow_->setFocus(Qt::OtherFocusReason);
    maxRow_->selectAll();
}
