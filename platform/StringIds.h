#pragma once

// Identifiers of the string table, never renumbered. The commands' own strings (prompt and
// tooltip) have the commands' numbers: see ECommandId.
enum class EStringId : int {
    AppTitle = 1,

    // Captions.
    PropertiesCaption = 102,
    OptionsCaption = 136,
    AboutCaption = 148,

    // Column labels; the labels of Title, Artist, Album and Genre also name tool buttons.
    LabelFile = 103,
    LabelLocation = 104,
    LabelTitle = 105,
    LabelArtist = 106,
    LabelAlbum = 107,
    LabelDate = 108,
    LabelGenre = 109,
    LabelComment = 110,
    LabelSize = 122,
    LabelTime = 137,
    LabelBitrate = 138,
    LabelFrequency = 139,
    LabelMode = 140,
    LabelMpegLayer = 141,
    LabelTrack = 142,
    LabelAlbumArtist = 143,
    LabelDisc = 144,

    // Text of a missing artist, album or genre.
    Undefined = 111,

    // The address band and the labels of the tool buttons.
    LabelAddress = 112,
    ButtonPlay = 113,
    ButtonEnqueue = 114,
    ButtonProperties = 115,
    ButtonLargeIcons = 116,
    ButtonSmallIcons = 117,
    ButtonList = 118,
    ButtonDetails = 119,
    ButtonCopy = 125,
    ButtonAll = 149,

    // Messages shown in message boxes; "%1" stands for a verb or a path.
    MsgClipboardFailed = 123,
    TagWriteFailed = 126,
    MsgEnqueueFailed = 133,
    MsgPlayManyFailed = 134,
    MsgPlayOneFailed = 135,
    MsgFileNotFound = 157,
    MsgPlaylistFailed = 158,

    // Status texts; printf formats.
    FileCountFormat = 129,
    SelectedCountFormat = 130,
    SizeFormat = 131,
    OneSelectedFile = 132,

    // Title of the favourites address, which also stands for it in the address bar.
    Favorites = 150,

    // Window title, no default name, type name, no filter, no extension, type id, type description.
    DocumentStrings = 128,

    // Texts of the core that have no number of their own in the table of the window.
    NotAssigned = 900,
    ErrorOpeningFile = 901,
    InvalidHandle = 902,

    // A tag write that failed; "%1" is the path, "%2" the reason: the system's, or one of these.
    MsgTagWriteError = 903,
    ReasonHardLinks = 904,
    ReasonUnsynchronised = 905,
    ReasonCompressed = 906,
    ReasonUnreadable = 907,

    // The properties sheet's caption: "%1" is the one track's file name, or how many tracks.
    PropertiesOneCaption = 908,
    PropertiesManyCaption = 909,

    // Validation messages of the dialogs.
    MsgEnterInteger = 910,
    MsgEnterIntegerRange = 911,
    MsgMaxCharacters = 912,

    // Later texts of the window: its notes, menu entries and messages.
    FilterPlaceholder = 920,
    NoTrackMatches = 921,
    RowsShownFormat = 922,
    MenuColumns = 923,
    MenuOpenFolder = 924,
    MenuShowHide = 925,
    MenuQuit = 926,
    MsgPlayerNotStarted = 927,
    MsgFolderNotShown = 928,
    ReasonForeignLink = 929,
    ReasonNotRegular = 930,

    // A walk the user controls.
    TitleIncomplete = 1200,  // "%1": the address's title, after a stopped walk
    FileCountOfAbout = 1201, // "%1" files read of about "%2"
    ButtonStop = 1202,       // the button beside the busy animation, and its tooltip
    MsgNotAFolder = 1203,    // "%1": an address that names no folder
    MsgNoSuchFolder = 1204,  // "%1": a folder given on the command line that does not exist
    HowToOpenAFolder = 1205, // what an empty window shows
    ChooseFolderCaption = 1206,
    MsgWatchLimit = 1207, // the system's limit of watched folders is reached

    // An address on a network share, looked at now and then: "%1" is one of the periods below.
    MsgShareChecked = 1230,
    EverySecond = 1231,
    EverySeconds = 1232, // "%1": a count of seconds
    EveryMinute = 1233,
    EveryMinutes = 1234, // "%1": a count of minutes
    // What the window tells of its command line, of its player and of failed writes.
    MsgUnknownOption = 1400,         // "%1": an option neither the program's nor Qt's
    MsgOneAddressOnly = 1401,        // "%1": an address after the first one
    MsgPlayManyNoAssociation = 1402, // "%1": the verb; no player of playlists
    MsgMoreFailures = 1403,          // "%1": files not listed in a message of failures

    // The menus' titles and entries, the context menus' own entries.
    MenuFile = 1500,
    MenuEdit = 1501,
    MenuDisplay = 1502,
    MenuView = 1503,
    MenuToolBar = 1504,
    MenuHelp = 1505,
    MenuOpen = 1510,
    MenuPlay = 1511,
    MenuEnqueue = 1512,
    MenuProperties = 1513,
    MenuRefresh = 1514,
    MenuExit = 1515,
    MenuCopy = 1516,
    MenuSelectAll = 1517,
    MenuArtist = 1518,
    MenuGenreArtist = 1519,
    MenuAlbumArtist = 1520,
    MenuDisplayAll = 1521,
    MenuOptions = 1522,
    MenuStandardButtons = 1523,
    MenuAddressBar = 1524,
    MenuTextLabels = 1525,
    MenuStatusBar = 1526,
    MenuLargeIcons = 1527,
    MenuSmallIcons = 1528,
    MenuList = 1529,
    MenuDetails = 1530,
    MenuAbout = 1531,
    MenuNew = 1532,
    MenuSave = 1533,
    MenuPaste = 1534,
    MenuUndo = 1535,
    MenuNextPane = 1536,
    MenuPrevPane = 1537,
    MenuPlayNode = 1538,
    MenuEnqueueNode = 1539,
    MenuNodeProperties = 1540,
    MenuContainingFolder = 1541,
    MenuColumnOptions = 1542,
    MenuShowHideWindow = 1543,
    PopupProperties = 1544,

    // The options sheet: its pages' titles and controls.
    OptRowsTab = 1550,
    OptColumnsTab = 1551,
    OptFavoritesTab = 1552,
    OptAdvancedTab = 1553,
    OptRowAction = 1554,
    OptActionPlay = 1555,
    OptActionEnqueue = 1556,
    OptActionProperties = 1557,
    OptRowSelection = 1558,
    OptFullRowSelection = 1559,
    OptMoveUp = 1560,
    OptMoveDown = 1561,
    OptOrder = 1562,
    OptAlignment = 1563,
    OptAlignLeft = 1564,
    OptAlignCenter = 1565,
    OptAlignRight = 1566,
    OptDisplayed = 1567,
    OptFavoritesHelp = 1568,
    OptFavoritesUse = 1569,
    OptFavorites = 1570,
    OptUseCache = 1571,
    OptSystray = 1572,
    OptNeverCheck = 1573,
    OptCheckFolders = 1574,
    OptCheckFiles = 1575,
    OptPollNever = 1577,
    OptLookForChanges = 1578,
    OptPollEvery = 1579,
    OptShellCommand = 1580,
    OptPlayCommand = 1581,
    OptEnqueueCommand = 1582,
    OptMaxRows = 1583,
    OptMaximum = 1584,
    OptExactVbrTime = 1585,
    OptReadId3v2 = 1586,
    OptWriteId3v2 = 1587,
    OptTrackTags = 1588,

    // The properties sheet: its page and the labels of the tag's fields.
    PropTitle = 1600,
    PropArtist = 1601,
    PropAlbum = 1602,
    PropYear = 1603,
    PropGenre = 1604,
    PropComment = 1605,
    PropTagPage = 1606,

    // The about sheet and its credits.
    AboutSecondLine = 1620,
    AboutSupportLine = 1621,
    AboutCreditsTab = 1622,
    CreditProgram = 1623,
    CreditVersion = 1624,
    CreditWebPage = 1625,
    CreditBuiltWith = 1626,
    CreditUserInterface = 1627,
    CreditBy = 1628,
    CreditDesktop = 1629,
    CreditCompiler = 1630,
    CreditBuild = 1631,
    CreditTestedWith = 1632,
    CreditUnitTests = 1633,
    CreditBenchmarks = 1634,
    CreditFuzzing = 1635,
    CreditSanitizers = 1636,
    CreditStaticAnalysis = 1637,
    CreditFormatting = 1638,
    CreditTestFixtures = 1639,
    CreditEncodedBy = 1640,
    CreditTrayHost = 1641,
    CreditTrayerOnXvfb = 1642,
    CreditTranslations = 1643,
    CreditFrench = 1644,
    CreditProject = 1645,
    CreditThanks = 1646,
    CreditReports = 1647,
    CreditChanges = 1648,

    // The tree by album artist: its compilations' node and its options.
    VariousArtists = 1700,
    OptArtistTree = 1701,
    OptGroupByAlbumArtist = 1702,
    OptDetectCompilations = 1703,
    OptIgnoredArticles = 1704,
    PropAlbumArtist = 1720,
    PropTrack = 1721,
    PropDisc = 1722,
    PropNewId3v2Note = 1723,
    CoverLoadFailed = 1740,
    CoverTooLarge = 1741,
    CoverNotAnImage = 1742,
    CoverDamaged = 1743,
    CoverUnreadable = 1744,
    MenuCoverPane = 1745,
    CoverWindowTitle = 1746,
    LabelTreeCovers = 1747,
    ReasonPicture = 1770,
    PropCoverPage = 1771,
    CoverReplace = 1772,
    CoverSaveAs = 1773,
    CoverRemove = 1774,
    CoverNone = 1775,
    CoverInfo = 1776,
    CoverNotShown = 1777,
    CoverChooseCaption = 1778,
    CoverFilter = 1779,
    CoverSaveCaption = 1780,
    MsgCoverLarge = 1781,
    MsgCoverNotImage = 1782,
    MsgCoverReadError = 1783,
    MsgCoverSaveError = 1784,
    CoverRemoved = 1785,
    CoverSeveral = 1786,
};
