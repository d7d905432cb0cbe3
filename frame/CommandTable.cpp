#include "frame/CommandTable.h"

#include "desktop/FrameStrings.h"
#include "platform/CommandIds.h"
#include "platform/StringIds.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWidget>

#include <algorithm>
#include <array>
#include <span>

namespace {

enum class EMenu { KeysOnly, File, Edit, Display, View, ViewToolBar, Help };
enum class EMark { Plain, Check, Radio };

struct SMenuTitle {
    EMenu menu;
    EStringId title;
};

constexpr std::array kMenuTitles{
    SMenuTitle{EMenu::File, EStringId::MenuFile},
    SMenuTitle{EMenu::Edit, EStringId::MenuEdit},
    SMenuTitle{EMenu::Display, EStringId::MenuDisplay},
    SMenuTitle{EMenu::View, EStringId::MenuView},
    SMenuTitle{EMenu::ViewToolBar, EStringId::MenuToolBar},
    SMenuTitle{EMenu::Help, EStringId::MenuHelp},
};

struct SEntry {
    ECommandId id;
    EMenu menu;
    EStringId text;
    std::array<const char*, 2> keys;
    int button;        // tool bar position, -1 for none
    EStringId labelId; // the button's label
    EMark mark;
    int radioSet; // entries with the same nonzero number share one radio mark
    bool separatorBefore;
};

constexpr EStringId kNoLabel{};

// One line per command: id, menu, menu text, keys, tool-bar slot, button label, mark, radio
// set, separator before.
// clang-format off
using enum EMenu;
using enum EMark;

constexpr std::array kEntries{
    SEntry{ECommandId::Open, File, EStringId::MenuOpen, {"Ctrl+O"}, -1, kNoLabel, Plain, 0, false},
    SEntry{ECommandId::Play, File, EStringId::MenuPlay, {"Ctrl+P"}, 0, EStringId::ButtonPlay, Plain, 0, true},
    SEntry{ECommandId::Enqueue, File, EStringId::MenuEnqueue, {"Ctrl+E"}, 1, EStringId::ButtonEnqueue, Plain, 0, false},
    SEntry{ECommandId::Properties, File, EStringId::MenuProperties, {"Ctrl+Return", "Ctrl+Enter"}, 3, EStringId::ButtonProperties, Plain, 0, false},
    SEntry{ECommandId::Refresh, File, EStringId::MenuRefresh, {"F5"}, -1, kNoLabel, Plain, 0, true},
    SEntry{ECommandId::Exit, File, EStringId::MenuExit, {"Ctrl+Q"}, -1, kNoLabel, Plain, 0, true},
    SEntry{ECommandId::Copy, Edit, EStringId::MenuCopy, {"Ctrl+C", "Ctrl+Ins"}, 2, EStringId::ButtonCopy, Plain, 0, false},
    SEntry{ECommandId::SelectAll, Edit, EStringId::MenuSelectAll, {"Ctrl+A"}, -1, kNoLabel, Plain, 0, false},
    SEntry{ECommandId::ModeArtist, Display, EStringId::MenuArtist, {}, 4, EStringId::LabelArtist, Radio, 1, false},
    SEntry{ECommandId::ModeGenreArtist, Display, EStringId::MenuGenreArtist, {}, 5, EStringId::LabelGenre, Radio, 1, false},
    SEntry{ECommandId::ModeAlbumArtist, Display, EStringId::MenuAlbumArtist, {}, 6, EStringId::LabelAlbum, Radio, 1, false},
    SEntry{ECommandId::DisplayAll, Display, EStringId::MenuDisplayAll, {}, 7, EStringId::ButtonAll, Check, 0, true},
    SEntry{ECommandId::Options, Display, EStringId::MenuOptions, {}, -1, kNoLabel, Plain, 0, true},
    SEntry{ECommandId::ToolBar, ViewToolBar, EStringId::MenuStandardButtons, {}, -1, kNoLabel, Check, 0, false},
    SEntry{ECommandId::AddressBar, ViewToolBar, EStringId::MenuAddressBar, {}, -1, kNoLabel, Check, 0, false},
    SEntry{ECommandId::TextLabels, ViewToolBar, EStringId::MenuTextLabels, {}, -1, kNoLabel, Check, 0, false},
    SEntry{ECommandId::StatusBar, View, EStringId::MenuStatusBar, {}, -1, kNoLabel, Check, 0, false},
    SEntry{ECommandId::CoverPane, View, EStringId::MenuCoverPane, {}, -1, kNoLabel, Check, 0, false},
    SEntry{ECommandId::LargeIcons, View, EStringId::MenuLargeIcons, {}, 8, EStringId::ButtonLargeIcons, Radio, 2, true},
    SEntry{ECommandId::SmallIcons, View, EStringId::MenuSmallIcons, {}, 9, EStringId::ButtonSmallIcons, Radio, 2, false},
    SEntry{ECommandId::List, View, EStringId::MenuList, {}, 10, EStringId::ButtonList, Radio, 2, false},
    SEntry{ECommandId::Details, View, EStringId::MenuDetails, {}, 11, EStringId::ButtonDetails, Radio, 2, false},
    SEntry{ECommandId::About, Help, EStringId::MenuAbout, {}, -1, kNoLabel, Plain, 0, false},
    // Reached by keys only.
    SEntry{ECommandId::New, KeysOnly, EStringId::MenuNew, {"Ctrl+N"}, -1, kNoLabel, Plain, 0, false},
    SEntry{ECommandId::Save, KeysOnly, EStringId::MenuSave, {"Ctrl+S"}, -1, kNoLabel, Plain, 0, false},
    SEntry{ECommandId::Paste, KeysOnly, EStringId::MenuPaste, {"Ctrl+V"}, -1, kNoLabel, Plain, 0, false},
    SEntry{ECommandId::Undo, KeysOnly, EStringId::MenuUndo, {"Ctrl+Z", "Alt+Backspace"}, -1, kNoLabel, Plain, 0, false},
    SEntry{ECommandId::NextPane, KeysOnly, EStringId::MenuNextPane, {"F6"}, -1, kNoLabel, Plain, 0, false},
    SEntry{ECommandId::PrevPane, KeysOnly, EStringId::MenuPrevPane, {"Shift+F6"}, -1, kNoLabel, Plain, 0, false},
    // Reached by the context menus only.
    SEntry{ECommandId::PlayNode, KeysOnly, EStringId::MenuPlayNode, {}, -1, kNoLabel, Plain, 0, false},
    SEntry{ECommandId::EnqueueNode, KeysOnly, EStringId::MenuEnqueueNode, {}, -1, kNoLabel, Plain, 0, false},
    SEntry{ECommandId::NodeProperties, KeysOnly, EStringId::MenuNodeProperties, {}, -1, kNoLabel, Plain, 0, false},
    SEntry{ECommandId::OpenContainingFolder, KeysOnly, EStringId::MenuContainingFolder, {}, -1, kNoLabel, Plain, 0, false},
    SEntry{ECommandId::ColumnOptions, KeysOnly, EStringId::MenuColumnOptions, {}, -1, kNoLabel, Plain, 0, false},
    SEntry{ECommandId::ShowHide, KeysOnly, EStringId::MenuShowHideWindow, {}, -1, kNoLabel, Plain, 0, false},
};
// clang-format on

// The context menus; a null id stands for a separator. Their entries have texts of their own,
// in the string table as the menus' are.
struct SPopupEntry {
    ECommandId id;
    EStringId text;
};
constexpr SPopupEntry kSeparator{ECommandId{}, kNoLabel};
constexpr std::array kTrackMenu{
    SPopupEntry{ECommandId::Play, EStringId::MenuPlay},
    SPopupEntry{ECommandId::Enqueue, EStringId::MenuEnqueue},
    kSeparator,
    SPopupEntry{ECommandId::Copy, EStringId::MenuCopy},
    kSeparator,
    SPopupEntry{ECommandId::Properties, EStringId::PopupProperties},
    kSeparator,
    SPopupEntry{ECommandId::OpenContainingFolder, EStringId::MenuOpenFolder},
};
// The tree's: the node's tracks in the list's order.
constexpr std::array kNodeMenu{
    SPopupEntry{ECommandId::PlayNode, EStringId::MenuPlay},
    SPopupEntry{ECommandId::EnqueueNode, EStringId::MenuEnqueue},
    kSeparator,
    SPopupEntry{ECommandId::NodeProperties, EStringId::PopupProperties},
};
constexpr std::array kTrayMenu{
    SPopupEntry{ECommandId::ShowHide, EStringId::MenuShowHide},
    kSeparator,
    SPopupEntry{ECommandId::Exit, EStringId::MenuQuit},
};

// The desktop's own keys for the commands that have one, before the table's.
struct SStandardKey {
    ECommandId id;
    QKeySequence::StandardKey key;
};
constexpr std::array kStandardKeys{
    SStandardKey{ECommandId::Copy, QKeySequence::Copy},
    SStandardKey{ECommandId::SelectAll, QKeySequence::SelectAll},
    SStandardKey{ECommandId::Exit, QKeySequence::Quit},
    SStandardKey{ECommandId::New, QKeySequence::New},
    SStandardKey{ECommandId::Open, QKeySequence::Open},
    SStandardKey{ECommandId::Save, QKeySequence::Save},
    SStandardKey{ECommandId::Paste, QKeySequence::Paste},
    SStandardKey{ECommandId::Undo, QKeySequence::Undo},
};

QString Latin1(const char* text) {
    return QString::fromLatin1(text);
}

QList<QKeySequence> Keys(const SEntry& entry) {
    QList<QKeySequence> keys;
    for (const SStandardKey& standard : kStandardKeys)
        if (standard.id == entry.id)
            keys = QKeySequence::keyBindings(standard.key);
    for (const char* key : entry.keys)
        if (key != nullptr && !keys.contains(QKeySequence(Latin1(key))))
            keys.append(QKeySequence(Latin1(key)));
    return keys;
}

} // namespace

CCommandTable::CCommandTable(QWidget& window) : QObject(&window) {
    std::map<int, QActionGroup*> radioSets;
    for (const SEntry& entry : kEntries) {
        auto* action = new QAction(CFrameStrings::Get(entry.text), &window);
        action->setShortcuts(Keys(entry));
        action->setStatusTip(CFrameStrings::Prompt(entry.id));
        if (const QString tip = CFrameStrings::Tooltip(entry.id); !tip.isEmpty())
            action->setToolTip(tip);
        if (entry.button >= 0) {
            action->setIcon(CResources::ToolIcon(entry.button));
            action->setIconText(CFrameStrings::Get(entry.labelId));
        }
        action->setCheckable(entry.mark != EMark::Plain);
        // A style draws no check or radio mark beside an entry's picture: marked entries show
        // their mark in the menu and their picture on the tool bar only.
        action->setIconVisibleInMenu(entry.mark == EMark::Plain);
        if (entry.radioSet != 0) {
            QActionGroup*& set = radioSets[entry.radioSet];
            if (set == nullptr) {
                set = new QActionGroup(this);
                set->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
            }
            set->addAction(action);
        }
        window.addAction(action);
        const ECommandId id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
        commands_[id].action = action;
    }
}

void CCommandTable::BuildMenus(QMenuBar& menuBar) {
    std::map<EMenu, QMenu*> menus;
    for (const SMenuTitle& title : kMenuTitles) {
        QMenu* parent = title.menu == EMenu::ViewToolBar ? menus[EMenu::View] : nullptr;
        QMenu* menu = parent != nullptr ? parent->addMenu(CFrameStrings::Get(title.title))
                                        : menuBar.addMenu(CFrameStrings::Get(title.title));
        connect(menu, &QMenu::aboutToShow, this, &CCommandTable::UpdateAll);
        menus[title.menu] = menu;
        menus_.append(menu);
    }
    for (const SEntry& entry : kEntries) {
        if (entry.menu == EMenu::KeysOnly)
            continue;
        QMenu* menu = menus[entry.menu];
        if (entry.separatorBefore)
            menu->addSeparator();
        menu->addAction(commands_[entry.id].action);
    }
}

// Each entry runs its command and is enabled as the command is now. The tray's menu lives as
// long as its icon and is never opened by us: its entries are enabled as the commands run.
void CCommandTable::BuildPopup(EPopup popup, QMenu& menu) {
    UpdateAll();
    const auto entries = popup == EPopup::Tracks ? std::span<const SPopupEntry>(kTrackMenu)
                         : popup == EPopup::Node ? std::span<const SPopupEntry>(kNodeMenu)
                                                 : std::span<const SPopupEntry>(kTrayMenu);
    for (const SPopupEntry& entry : entries) {
        if (entry.text == kNoLabel) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(CFrameStrings::Get(entry.text));
        action->setEnabled(popup == EPopup::Tray || commands_[entry.id].action->isEnabled());
        connect(action, &QAction::triggered, this, [this, id = entry.id] { Execute(id); });
    }
}

void CCommandTable::BuildToolBar(QToolBar& toolBar) {
    for (const ECommandId id : ButtonCommands())
        toolBar.addAction(commands_[id].action);
}

QList<ECommandId> CCommandTable::ButtonCommands() {
    std::array<ECommandId, ResourceId::kToolImageCount> ids{};
    for (const SEntry& entry : kEntries)
        if (entry.button >= 0)
            ids[static_cast<std::size_t>(entry.button)] = entry.id;
    return QList<ECommandId>(ids.begin(), ids.end());
}

void CCommandTable::SetHandler(ECommandId id, Handler handler) {
    commands_[id].handler = std::move(handler);
}

void CCommandTable::SetUpdateRule(ECommandId id, UpdateRule rule) {
    commands_[id].rule = std::move(rule);
}

SCommandState CCommandTable::StateOf(const SCommand& command) const {
    SCommandState state;
    state.enabled = static_cast<bool>(command.handler);
    if (command.rule && state.enabled)
        command.rule(state);
    if (held_ && command.action != Action(ECommandId::Exit))
        state.enabled = false;
    return state;
}

void CCommandTable::UpdateAll() {
    for (const auto& [id, command] : commands_) {
        if (command.action == nullptr)
            continue;
        const SCommandState state = StateOf(command);
        command.action->setEnabled(state.enabled);
        if (command.action->isCheckable())
            command.action->setChecked(state.checked);
    }
}

bool CCommandTable::Execute(ECommandId id) {
    const auto it = commands_.find(id);
    if (it == commands_.end() || !StateOf(it->second).enabled)
        return false;
    it->second.handler();
    UpdateAll();
    return true;
}

QAction* CCommandTable::Action(ECommandId id) const {
    const auto it = commands_.find(id);
    return it == commands_.end() ? nullptr : it->second.action;
}
