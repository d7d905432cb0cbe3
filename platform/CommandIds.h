#pragma once

// Command ids of the main window, shared with the menus, the accelerators and the tool bar, and
// never renumbered. The string with the same number holds the command's status-bar prompt and
// tooltip (CStringTable::Get).
enum class ECommandId : int {
    AddressOk = 1, // Enter pressed in the address box's edit field

    Play = 32771,
    Enqueue = 32772,
    Properties = 32773,
    AddressBar = 32783,
    TextLabels = 32784,
    Options = 32786,
    ModeAlbumArtist = 32787,
    ModeArtist = 32788,
    ModeGenreArtist = 32789,
    DisplayAll = 32793,
    Refresh = 32794,
    // The context menus' own commands: on the tree's node, on the list's file, from the
    // header, from the tray icon.
    PlayNode = 32800,
    EnqueueNode = 32801,
    NodeProperties = 32802,
    OpenContainingFolder = 32803,
    ColumnOptions = 32804,
    ShowHide = 32805,
    // View > Cover: the cover pane below the tree.
    CoverPane = 32810,

    New = 57600,
    Open = 57601,
    Save = 57603,
    Copy = 57634,
    Paste = 57637,
    SelectAll = 57642,
    Undo = 57643,
    About = 57664,
    Exit = 57665,
    NextPane = 57680,
    PrevPane = 57681,

    ToolBar = 59392,
    StatusBar = 59393,
    SmallIcons = 59408,
    LargeIcons = 59409,
    List = 59410,
    Details = 59411,
};
