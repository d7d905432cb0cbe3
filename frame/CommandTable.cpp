#include "frame/CommandTable.h"

#include "frame/CommandIds.h"
#include "frame/FrameStrings.h"
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

namespace {

using namespace CommandId;

// Menus exist in English only.
enum class EMenu { KeysOnly, File, Edit, Display, View, ViewToolBar, Help };
enum class EMark { Plain, Check, Radio };

struct SMenuTitle {
    EMenu menu;
    const char* title;
};

constexpr std::array kMenuTitles{
    SMenuTitle{EMenu::File, "&File"},           SMenuTitle{EMenu::Edit, "&Edit"},
    SMenuTitle{EMenu::Display, "&Display"},     SMenuTitle{EMenu::View, "&View"},
    SMenuTitle{EMenu::ViewToolBar, "Tool bar"}, SMenuTitle{EMenu::Help, "&?"},
};

struct SEntry {
    int id;
    EMenu menu;
    const char* text;
    std::array<const char*, 2> keys;
    int button;  // tool bar position, -1 for none
    int labelId; // string id of the button's label
    EMark mark;
    int radioSet; // entries with the same nonzero number share one radio mark
    bool separatorBefore;
};

// One line per command: id, menu, menu text, keys, tool-bar slot, button label, mark, radio
// set, separator before.
// clang-format off
using enum EMenu;
using enum EMark;
namespace S = StringId;

constexpr std::array kEntries{
    SEntry{kPlay, File, "&Play", {"Ctrl+P"}, 0, S::kButtonPlay, Plain, 0, false},
    SEntry{kEnqueue, File, "&Enqueue", {"Ctrl+E"}, 1, S::kButtonEnqueue, Plain, 0, false},
    SEntry{kProperties, File, "&Properties", {"Ctrl+Return", "Ctrl+Enter"}, 3, S::kButtonProperties, Plain, 0, false},
    SEntry{kRefresh, File, "&Refresh cache file", {"F5"}, -1, 0, Plain, 0, true},
    SEntry{kExit, File, "E&xit", {}, -1, 0, Plain, 0, true},
    SEntry{kCopy, Edit, "&Copy", {"Ctrl+C", "Ctrl+Ins"}, 2, S::kButtonCopy, Plain, 0, false},
    SEntry{kSelectAll, Edit, "Select &All", {"Ctrl+A"}, -1, 0, Plain, 0, false},
    SEntry{kModeArtist, Display, "&Artist", {}, 4, S::kLabelArtist, Radio, 1, false},
    SEntry{kModeGenreArtist, Display, "&Gen&re / Artist", {}, 5, S::kLabelGenre, Radio, 1, false},
    SEntry{kModeAlbumArtist, Display, "Al&bum / Artist", {}, 6, S::kLabelAlbum, Radio, 1, false},
    SEntry{kDisplayAll, Display, "&Display all information", {}, 7, S::kButtonAll, Check, 0, true},
    SEntry{kOptions, Display, "&Options...", {}, -1, 0, Plain, 0, true},
    SEntry{kToolBar, ViewToolBar, "Standard buttons", {}, -1, 0, Check, 0, false},
    SEntry{kAddressBar, ViewToolBar, "Address bar", {}, -1, 0, Check, 0, false},
    SEntry{kTextLabels, ViewToolBar, "Show text labels", {}, -1, 0, Check, 0, false},
    SEntry{kStatusBar, View, "&Status bar", {}, -1, 0, Check, 0, false},
    SEntry{kLargeIcons, View, "Lar&ge Icons", {}, 8, S::kButtonLargeIcons, Radio, 2, true},
    SEntry{kSmallIcons, View, "S&mall Icons", {}, 9, S::kButtonSmallIcons, Radio, 2, false},
    SEntry{kList, View, "&List", {}, 10, S::kButtonList, Radio, 2, false},
    SEntry{kDetails, View, "&Details", {}, 11, S::kButtonDetails, Radio, 2, false},
    SEntry{kAbout, Help, "&About Quavero ...", {}, -1, 0, Plain, 0, false},
    // Reached by keys only.
    SEntry{kNew, KeysOnly, "New", {"Ctrl+N"}, -1, 0, Plain, 0, false},
    SEntry{kOpen, KeysOnly, "Open", {"Ctrl+O"}, -1, 0, Plain, 0, false},
    SEntry{kSave, KeysOnly, "Save", {"Ctrl+S"}, -1, 0, Plain, 0, false},
    SEntry{kPaste, KeysOnly, "Paste", {"Ctrl+V"}, -1, 0, Plain, 0, false},
    SEntry{kUndo, KeysOnly, "Undo", {"Ctrl+Z", "Alt+Backspace"}, -1, 0, Plain, 0, false},
    SEntry{kNextPane, KeysOnly, "Next pane", {"F6"}, -1, 0, Plain, 0, false},
    SEntry{kPrevPane, KeysOnly, "Previous pane", {"Shift+F6"}, -1, 0, Plain, 0, false},
};
// clang-format on

QString Latin1(const char* text) {
    return QString::fromLatin1(text);
}

QList<QKeySequence> Keys(const SEntry& entry) {
    QList<QKeySequence> keys;
    for (const char* key : entry.keys)
        if (key != nullptr)
            keys.append(QKeySequence(Latin1(key)));
    return keys;
}

} // namespace

CCommandTable::CCommandTable(QWidget& window) : QObject(&window) {
    std::map<int, QActionGroup*> radioSets;
    for (const SEntry& entry : kEntries) {
        auto* action = new QAction(Latin1(entry.text), &window);
        action->setShortcuts(Keys(entry));
        action->setStatusTip(CFrameStrings::Prompt(entry.id));
        if (const QString tip = CFrameStrings::Tooltip(entry.id); !tip.isEmpty())
            action->setToolTip(tip);
        if (entry.button >= 0) {
            action->setIcon(CResources::ToolIcon(entry.button));
            action->setIconText(CFrameStrings::Get(entry.labelId));
        }
        action->setCheckable(entry.mark != EMark::Plain);
        if (entry.radioSet != 0) {
            QActionGroup*& set = radioSets[entry.radioSet];
            if (set == nullptr) {
                set = new QActionGroup(this);
                set->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
            }
            set->addAction(action);
        }
        window.addAction(action);
        const int id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
        commands_[id].action = action;
    }
}

void CCommandTable::BuildMenus(QMenuBar& menuBar) {
    std::map<EMenu, QMenu*> menus;
    for (const SMenuTitle& title : kMenuTitles) {
        QMenu* parent = title.menu == EMenu::ViewToolBar ? menus[EMenu::View] : nullptr;
        QMenu* menu = parent != nullptr ? parent->addMenu(Latin1(title.title))
                                        : menuBar.addMenu(Latin1(title.title));
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

void CCommandTable::BuildToolBar(QToolBar& toolBar) {
    for (const int id : ButtonCommands())
        toolBar.addAction(commands_[id].action);
}

QList<int> CCommandTable::ButtonCommands() {
    std::array<int, ResourceId::kToolImageCount> ids{};
    for (const SEntry& entry : kEntries)
        if (entry.button >= 0)
            ids[static_cast<std::size_t>(entry.button)] = entry.id;
    return QList<int>(ids.begin(), ids.end());
}

void CCommandTable::SetHandler(int id, Handler handler) {
    commands_[id].handler = std::move(handler);
}

void CCommandTable::SetUpdateRule(int id, UpdateRule rule) {
    commands_[id].rule = std::move(rule);
}

SCommandState CCommandTable::StateOf(const SCommand& command) const {
    SCommandState state;
    state.enabled = static_cast<bool>(command.handler);
    if (command.rule && state.enabled)
        command.rule(state);
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

bool CCommandTable::Execute(int id) {
    const auto it = commands_.find(id);
    if (it == commands_.end() || !StateOf(it->second).enabled)
        return false;
    it->second.handler();
    UpdateAll();
    return true;
}

QAction* CCommandTable::Action(int id) const {
    const auto it = commands_.find(id);
    return it == commands_.end() ? nullptr : it->second.action;
}
