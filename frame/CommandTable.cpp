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
enum class EMenu { None, File, Edit, Display, View, ViewToolBar, Help };
enum class EMark { None, Check, Radio };

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

constexpr std::array kEntries{
    SEntry{
        kPlay, EMenu::File, "&Play", {"Ctrl+P"}, 0, StringId::kButtonPlay, EMark::None, 0, false},
    SEntry{kEnqueue,
           EMenu::File,
           "&Enqueue",
           {"Ctrl+E"},
           1,
           StringId::kButtonEnqueue,
           EMark::None,
           0,
           false},
    SEntry{kProperties,
           EMenu::File,
           "&Properties",
           {"Ctrl+Return", "Ctrl+Enter"},
           3,
           StringId::kButtonProperties,
           EMark::None,
           0,
           false},
    SEntry{kRefresh, EMenu::File, "&Refresh cache file", {"F5"}, -1, 0, EMark::None, 0, true},
    SEntry{kExit, EMenu::File, "E&xit", {}, -1, 0, EMark::None, 0, true},
    SEntry{kCopy,
           EMenu::Edit,
           "&Copy",
           {"Ctrl+C", "Ctrl+Ins"},
           2,
           StringId::kButtonCopy,
           EMark::None,
           0,
           false},
    SEntry{kSelectAll, EMenu::Edit, "Select &All", {"Ctrl+A"}, -1, 0, EMark::None, 0, false},
    SEntry{kModeArtist,
           EMenu::Display,
           "&Artist",
           {},
           4,
           StringId::kLabelArtist,
           EMark::Radio,
           1,
           false},
    SEntry{kModeGenreArtist,
           EMenu::Display,
           "&Gen&re / Artist",
           {},
           5,
           StringId::kLabelGenre,
           EMark::Radio,
           1,
           false},
    SEntry{kModeAlbumArtist,
           EMenu::Display,
           "Al&bum / Artist",
           {},
           6,
           StringId::kLabelAlbum,
           EMark::Radio,
           1,
           false},
    SEntry{kDisplayAll,
           EMenu::Display,
           "&Display all information",
           {},
           7,
           StringId::kButtonAll,
           EMark::Check,
           0,
           true},
    SEntry{kOptions, EMenu::Display, "&Options...", {}, -1, 0, EMark::None, 0, true},
    SEntry{kToolBar, EMenu::ViewToolBar, "Standard buttons", {}, -1, 0, EMark::Check, 0, false},
    SEntry{kAddressBar, EMenu::ViewToolBar, "Address bar", {}, -1, 0, EMark::Check, 0, false},
    SEntry{kTextLabels, EMenu::ViewToolBar, "Show text labels", {}, -1, 0, EMark::Check, 0, false},
    SEntry{kStatusBar, EMenu::View, "&Status bar", {}, -1, 0, EMark::Check, 0, false},
    SEntry{kLargeIcons,
           EMenu::View,
           "Lar&ge Icons",
           {},
           8,
           StringId::kButtonLargeIcons,
           EMark::Radio,
           2,
           true},
    SEntry{kSmallIcons,
           EMenu::View,
           "S&mall Icons",
           {},
           9,
           StringId::kButtonSmallIcons,
           EMark::Radio,
           2,
           false},
    SEntry{kList, EMenu::View, "&List", {}, 10, StringId::kButtonList, EMark::Radio, 2, false},
    SEntry{kDetails,
           EMenu::View,
           "&Details",
           {},
           11,
           StringId::kButtonDetails,
           EMark::Radio,
           2,
           false},
    SEntry{kAbout, EMenu::Help, "&About Quavero ...", {}, -1, 0, EMark::None, 0, false},
    // Reached by keys only.
    SEntry{kNew, EMenu::None, "New", {"Ctrl+N"}, -1, 0, EMark::None, 0, false},
    SEntry{kOpen, EMenu::None, "Open", {"Ctrl+O"}, -1, 0, EMark::None, 0, false},
    SEntry{kSave, EMenu::None, "Save", {"Ctrl+S"}, -1, 0, EMark::None, 0, false},
    SEntry{kPaste, EMenu::None, "Paste", {"Ctrl+V"}, -1, 0, EMark::None, 0, false},
    SEntry{kUndo, EMenu::None, "Undo", {"Ctrl+Z", "Alt+Backspace"}, -1, 0, EMark::None, 0, false},
    SEntry{kNextPane, EMenu::None, "Next pane", {"F6"}, -1, 0, EMark::None, 0, false},
    SEntry{kPrevPane, EMenu::None, "Previous pane", {"Shift+F6"}, -1, 0, EMark::None, 0, false},
};

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
        action->setCheckable(entry.mark != EMark::None);
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
        if (entry.menu == EMenu::None)
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
