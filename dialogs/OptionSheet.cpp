#include "dialogs/OptionSheet.h"

#include "desktop/FrameStrings.h"
#include "desktop/MessageBoxReporter.h"
#include "dialogs/AdvancedPage.h"
#include "dialogs/ColumnsPage.h"
#include "dialogs/FavoritesPage.h"
#include "dialogs/RowsPage.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QDialogButtonBox>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

COptionSheet::COptionSheet(SOptionValues values, QWidget* parent)
    : QDialog(parent), values_(std::move(values)), tabs_(new QTabWidget(this)) {
    setWindowTitle(CFrameStrings::Get(EStringId::OptionsCaption));
    tabs_->setObjectName(QStringLiteral("optionTabs"));
    const std::pair<COptionPage*, EStringId> pages[] = {
        {new CRowsPage(values_), EStringId::OptRowsTab},
        {new CColumnsPage(values_), EStringId::OptColumnsTab},
        {new CFavoritesPage(values_), EStringId::OptFavoritesTab},
        {new CAdvancedPage(values_), EStringId::OptAdvancedTab},
    };
    for (const auto& [page, title] : pages) {
        tabs_->addTab(page, CFrameStrings::Get(title));
        pages_.push_back(page);
    }
    opened_.assign(pages_.size(), false);
    opened_[0] = true;
    connect(tabs_, &QTabWidget::currentChanged, this, &COptionSheet::OnTabChanged);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
}

// A page that cannot be left is back in front before the message says why.
void COptionSheet::OnTabChanged(int index) {
    COptionPage& left = *pages_[static_cast<std::size_t>(shown_)];
    const QString failure = left.Failure();
    if (!failure.isEmpty()) {
        const QSignalBlocker quiet(tabs_);
        tabs_->setCurrentIndex(shown_);
        Refuse(left, failure);
        return;
    }
    shown_ = index;
    opened_[static_cast<std::size_t>(index)] = true;
}

void COptionSheet::Refuse(COptionPage& page, const QString& failure) {
    CMessageBoxReporter(this).Report(CStringTable::Get(EStringId::AppTitle), failure.toStdString());
    page.FocusFailure();
}

// Only the pages the user opened give their controls back; the others keep the values they
// were filled with.
void COptionSheet::accept() {
    COptionPage& current = *pages_[static_cast<std::size_t>(shown_)];
    if (const QString failure = current.Failure(); !failure.isEmpty()) {
        Refuse(current, failure);
        return;
    }
    for (std::size_t i = 0; i < pages_.size(); ++i)
        if (opened_[i])
            pages_[i]->Store(values_);
    QDialog::accept();
}
