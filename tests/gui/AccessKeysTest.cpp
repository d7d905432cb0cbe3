// The access keys of the context menus.
#include "frame/CommandTable.h"
#include "frame/MainFrame.h"
#include "gui/AppFixture.h"
#include "settings/SettingsKeys.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

using namespace SettingsKey;
using AccessKeys = CAppFixture;

// In each menu, every entry has its own key: Alt and the letter reaches one entry only.
TEST_F(AccessKeys, EachEntryOfAContextMenuHasItsOwnKey) {
    Set(kSectionMp3, kFilePath, Music());
    Start();
    for (const auto popup : {CCommandTable::EPopup::Tracks, CCommandTable::EPopup::Node,
                             CCommandTable::EPopup::Tray}) {
        QMenu menu;
        Frame().Commands().BuildPopup(popup, menu);
        QStringList keys;
        for (const QAction* action : menu.actions()) {
            if (action->isSeparator())
                continue;
            const QString key = QKeySequence::mnemonic(action->text()).toString();
            EXPECT_FALSE(key.isEmpty()) << action->text().toStdString();
            EXPECT_FALSE(keys.contains(key)) << action->text().toStdString();
            keys << key;
        }
    }
}
