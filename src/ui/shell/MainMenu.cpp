#include "shell/MainMenu.h"

#include <cstring>

namespace {
#define SEP(parent) {"-", "-", "", parent}
const std::vector<MenuEntry> kEntries = {
    {"mnuFile", "&File", "", nullptr},
    {"mnuFileNew", "&New", "Ctrl+N", "mnuFile"},
    {"mnuFileOpen", "&Open...", "", "mnuFile"},
    {"mnuOpenNew", "Open New", "", "mnuFileOpen"},
    {"mnuOpenAppend", "Open Append", "", "mnuFileOpen"},
    {"mnuFileClose", "&Close", "Shift+Ctrl+F1", "mnuFile"},
    SEP("mnuFile"),
    {"mnuFileSave", "&Save", "Ctrl+S", "mnuFile"},
    {"mnuFileSaveAs", "Save &As...", "", "mnuFile"},
    SEP("mnuFile"),
    {"mnuFilePrint", "&Print...", "", "mnuFile"},
    SEP("mnuFile"),
    {"mnuFileExit", "E&xit", "", "mnuFile"},

    {"mnuEdit", "&Edit", "", nullptr},
    {"mnuEditUndo", "&Undo", "Ctrl+Z", "mnuEdit"},
    SEP("mnuEdit"),
    {"mnuEditCut", "Cu&t", "Ctrl+X", "mnuEdit"},
    {"mnuEditCopy", "&Copy", "Ctrl+C", "mnuEdit"},
    {"mnuEditPaste", "&Paste", "", "mnuEdit"},
    SEP("mnuEdit"),
    {"mnuQSearch", "Search", "Ctrl+F", "mnuEdit"},
    {"mnuSReplace", "Replace", "Ctrl+R", "mnuEdit"},
    {"mnuGotoLine", "Go to line...", "Ctrl+G", "mnuEdit"},
    SEP("mnuEdit"),
    {"mnuBookmarks", "Bookmarks", "", "mnuEdit"},
    {"mnuBookmarkToogle", "Toogle Bookmark", "Ctrl+B", "mnuBookmarks"},
    {"mnuBookmarkNext", "Next Bookmark", "", "mnuBookmarks"},
    {"mnuPrevBookmark", "Previous Bookmark", "Shift+F2", "mnuBookmarks"},
    {"mnuBookmarksClear", "Clear All Bookmarks", "Shift+Ctrl+F2", "mnuBookmarks"},
    SEP("mnuEdit"),
    {"mnuTemplateNew2", "Insert Template", "", "mnuEdit"},

    {"mnuDocument", "&Query", "", nullptr},
    {"mnuConnectionWizard", "Connection Manger", "Ctrl+U", "mnuDocument"},
    SEP("mnuDocument"),
    {"mnuQCheck", "Query Check", "Ctrl+F5", "mnuDocument"},
    {"mnuQExecute", "Execute Query", "F5", "mnuDocument"},
    {"mnuQueryStop", "Stop Query", "F4", "mnuDocument"},
    SEP("mnuDocument"),
    {"mnuSerf", "Objects View", "", "mnuDocument"},
    {"mnuSetfQ", "Query (Code)", "Ctrl+Q", "mnuSerf"},
    {"mnuSFR", "Results (Panel)", "Ctrl+P", "mnuSerf"},
    {"mnuObjects2", "Objects (Tab)", "Ctrl+O", "mnuSerf"},
    {"mnuSetTa", "Templates (Tab)", "Ctrl+T", "mnuSerf"},
    {"mnuSFHe", "Help (Tab)", "Ctrl+H", "mnuSerf"},
    {"mnuQResu", "Results", "", "mnuDocument"},
    {"mnuGrid", "Grid", "", "mnuQResu"},
    {"mnuText", "Text", "", "mnuQResu"},
    SEP("mnuQResu"),
    {"mnuResHideShow", "Hide/Show Full", "Ctrl+W", "mnuQResu"},
    {"mnuDocumentsViews", "Query View", "", "mnuDocument"},
    {"mnuObjectBrowsers", "Object Browser", "", "mnuDocumentsViews"},
    {"mnuO100", "100% (All)", "", "mnuObjectBrowsers"},
    {"mnuO75", "75%", "", "mnuObjectBrowsers"},
    {"mnuO50", "50%", "", "mnuObjectBrowsers"},
    {"mnuO30", "30% (Default)", "Ctrl+E", "mnuObjectBrowsers"},
    {"mnuOHide", "Hide (0%)", "", "mnuObjectBrowsers"},
    {"mnuViewStatusBar", "Results Panel", "", "mnuDocumentsViews"},
    {"mnu100", "100% (All)", "", "mnuViewStatusBar"},
    {"mnuR70", "75%", "", "mnuViewStatusBar"},
    {"mnuR50", "50%", "", "mnuViewStatusBar"},
    {"mnuR30", "30% (Default)", "", "mnuViewStatusBar"},
    {"mnuR0", "Hide (0%)", "", "mnuViewStatusBar"},
    {"mnuToogleSense", "Sense Toogle", "", "mnuDocument"},
    {"mnuCatalogSense", "Catalog Sense", "F9", "mnuToogleSense"},
    {"mnuCodeSenseTable", "Catalog Table Sense", "F8", "mnuToogleSense"},
    {"mnuCodeSense", "Code Sense", "F6", "mnuToogleSense"},
    {"mnuCodeSenseVariable", "Code Sense Variables", "F7", "mnuToogleSense"},
    SEP("mnuDocument"),
    {"mnuViewOptions", "&Options...", "", "mnuDocument"},

    {"mnuWindow", "&Window", "", nullptr},
    {"mnuWindowCascade", "&Cascade", "", "mnuWindow"},
    {"mnuWindowTileHorizontal", "Tile &Horizontal", "", "mnuWindow"},
    {"mnuWindowTileVertical", "Tile &Vertical", "", "mnuWindow"},
    {"mnuWindowArrangeIcons", "&Arrange Icons", "", "mnuWindow"},

    {"mnuHelp", "&Help", "", nullptr},
    {"mnuHelpContents", "&Contents", "F1", "mnuHelp"},
    {"mnuHelpSearchForHelpOn", "Online", "", "mnuHelp"},
    SEP("mnuHelp"),
    {"mnuHelpAbout", "&About ", "", "mnuHelp"},

    {"mnuObjects", "NOVIS_OBJECTS", "", nullptr},
    {"mnuObjDirectInsert", "Insert Object", "", "mnuObjects"},
    {"mnuOBJBrowse", "Browse Object", "", "mnuObjects"},
    {"mnuObjMnuSelect", "Script Object To...", "", "mnuObjects"},
    {"mnuObjSelect", "Select", "", "mnuObjMnuSelect"},
    {"mnuObjInsert", "Insert", "", "mnuObjMnuSelect"},
    {"mnuObjUpdate", "Update", "", "mnuObjMnuSelect"},
    {"mnuObjDelete", "Delete", "", "mnuObjMnuSelect"},
    SEP("mnuObjects"),
    {"mnuObjRefresh", "Refresh", "", "mnuObjects"},
    {"mnuObjHelp", "Help", "", "mnuObjects"},

    {"mnuTemplate", "NOVIS_TEMPLATE", "", nullptr},
    {"mnuTemplateNew", "New Item", "", "mnuTemplate"},
    {"mnuTemplateEdit", "Edit Item", "", "mnuTemplate"},
    {"mnuTemplateDelete", "Delete Item", "", "mnuTemplate"},
    SEP("mnuTemplate"),
    {"mnuTemplateHelp", "Help", "", "mnuTemplate"},

    {"mnuNovisGrid", "NOVIS_GRID", "", nullptr},
    {"mnuGridInsert", "Insert Object", "", "mnuNovisGrid"},
    {"mnuGridCopy", "Copy", "", "mnuNovisGrid"},
    {"mnuGridSaveAs", "Save as...", "", "mnuNovisGrid"},
    SEP("mnuNovisGrid"),
    {"mnuGridHelp", "Help", "", "mnuNovisGrid"},
};
#undef SEP
} // namespace

const std::vector<MenuEntry>& mainMenuEntries() { return kEntries; }

bool isHiddenPopup(const char* id) {
    return std::strcmp(id, "mnuObjects") == 0 || std::strcmp(id, "mnuTemplate") == 0 ||
           std::strcmp(id, "mnuNovisGrid") == 0;
}

QString onlineHelpAddress() { return QStringLiteral("https://sql-query-editor.invalid/"); }
QString onlineHelpCaption() { return QStringLiteral("Online (%1)").arg(onlineHelpAddress()); }
