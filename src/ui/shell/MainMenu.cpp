#include "shell/MainMenu.h"

#include <cstring>

namespace {
#define SEP(parent) {"-", "-", "", parent}
const std::vector<MenuEntry> kEntries = {
    {"mnuFile", "&File", "", nullptr},
    {"mnuFileNew", "&New", "Ctrl+N", "mnuFile", WindowCommand::NewDocument},
    {"mnuFileOpen", "&Open...", "", "mnuFile"},
    {"mnuOpenNew", "Open New", "", "mnuFileOpen", DocumentCommand::OpenNew, "Ctrl+O"},
    {"mnuOpenAppend", "Open Append", "", "mnuFileOpen", DocumentCommand::OpenAppend},
    {"mnuFileClose", "&Close", "Shift+Ctrl+F1", "mnuFile", WindowCommand::CloseDocument, "Ctrl+W"},
    SEP("mnuFile"),
    {"mnuFileSave", "&Save", "Ctrl+S", "mnuFile", DocumentCommand::Save},
    {"mnuFileSaveAs", "Save &As...", "", "mnuFile", DocumentCommand::SaveAs, "Ctrl+Shift+S"},
    SEP("mnuFile"),
    {"mnuFilePrint", "&Print...", "", "mnuFile", DocumentCommand::Print, "Ctrl+P"},
    SEP("mnuFile"),
    {"mnuFileExit", "E&xit", "", "mnuFile", WindowCommand::Exit, "Ctrl+Q"},

    {"mnuEdit", "&Edit", "", nullptr},
    {"mnuEditUndo", "&Undo", "Ctrl+Z", "mnuEdit", DocumentCommand::Undo},
    {"mnuEditRedo", "&Redo", "Ctrl+Y", "mnuEdit", DocumentCommand::Redo, "Ctrl+Shift+Z"},
    SEP("mnuEdit"),
    {"mnuEditCut", "Cu&t", "Ctrl+X", "mnuEdit", DocumentCommand::Cut},
    {"mnuEditCopy", "&Copy", "Ctrl+C", "mnuEdit", DocumentCommand::Copy},
    {"mnuEditPaste", "&Paste", "", "mnuEdit", DocumentCommand::Paste, "Ctrl+V"},
    SEP("mnuEdit"),
    {"mnuQSearch", "Search", "Ctrl+F", "mnuEdit", DocumentCommand::Find},
    {"mnuSReplace", "Replace", "Ctrl+R", "mnuEdit", DocumentCommand::Replace},
    {"mnuGotoLine", "Go to line...", "Ctrl+G", "mnuEdit", DocumentCommand::GoToLine},
    SEP("mnuEdit"),
    {"mnuBookmarks", "Bookmarks", "", "mnuEdit"},
    {"mnuBookmarkToogle", "Toggle Bookmark", "Ctrl+B", "mnuBookmarks", DocumentCommand::ToggleBookmark},
    {"mnuBookmarkNext", "Next Bookmark", "", "mnuBookmarks", DocumentCommand::NextBookmark},
    {"mnuPrevBookmark", "Previous Bookmark", "Shift+F2", "mnuBookmarks", DocumentCommand::PreviousBookmark},
    {"mnuBookmarksClear", "Clear All Bookmarks", "Shift+Ctrl+F2", "mnuBookmarks", DocumentCommand::ClearBookmarks},
    SEP("mnuEdit"),
    {"mnuTemplateNew2", "Insert Template", "", "mnuEdit", WindowCommand::InsertTemplate},

    {"mnuView", "&View", "", nullptr},
    {"mnuViewTheme", "&Theme", "", "mnuView"},
    {"mnuThemeSystem", "&System", "", "mnuViewTheme", WindowCommand::ThemeSystem},
    {"mnuThemeLight", "&Light", "", "mnuViewTheme", WindowCommand::ThemeLight},
    {"mnuThemeDark", "&Dark", "", "mnuViewTheme", WindowCommand::ThemeDark},

    {"mnuDocument", "&Query", "", nullptr},
    {"mnuConnectionWizard", "Connection Manager", "Ctrl+U", "mnuDocument", WindowCommand::ConnectionManager},
    SEP("mnuDocument"),
    {"mnuQCheck", "Query Check", "Ctrl+F5", "mnuDocument", DocumentCommand::QueryCheck},
    {"mnuQExecute", "Execute Query", "F5", "mnuDocument", DocumentCommand::Execute},
    {"mnuQExecuteCaret", "Execute Statement at Caret", "Ctrl+Return", "mnuDocument", DocumentCommand::ExecuteStatement},
    {"mnuQueryStop", "Stop Query", "F4", "mnuDocument", DocumentCommand::Stop},
    {"mnuQExplain", "Explain", "Ctrl+L", "mnuDocument", DocumentCommand::Explain},
    {"mnuQExplainAnalyze", "Explain Analyze", "Ctrl+Shift+L", "mnuDocument", DocumentCommand::ExplainAnalyze},
    {"mnuQDisconnect", "Disconnect", "", "mnuDocument", DocumentCommand::Disconnect},
    {"mnuQFormat", "Format SQL", "Ctrl+Shift+F", "mnuDocument", DocumentCommand::FormatSql},
    SEP("mnuDocument"),
    {"mnuSerf", "Objects View", "", "mnuDocument"},
    {"mnuSetfQ", "Query (Code)", "Ctrl+Q", "mnuSerf", WindowCommand::QueryOnly, "Ctrl+1"},
    {"mnuSFR", "Results (Panel)", "Ctrl+P", "mnuSerf", DocumentCommand::FocusResults, "Ctrl+2"},
    {"mnuObjects2", "Objects (Tab)", "Ctrl+O", "mnuSerf", DocumentCommand::ShowObjectsTab, "Ctrl+3"},
    {"mnuSetTa", "Templates (Tab)", "Ctrl+T", "mnuSerf", DocumentCommand::ShowTemplatesTab},
    {"mnuSFHe", "Help (Tab)", "Ctrl+H", "mnuSerf", DocumentCommand::ShowHelpTab},
    {"mnuSFHistory", "History (Tab)", "Ctrl+Shift+H", "mnuSerf", DocumentCommand::ShowHistoryTab},
    {"mnuQResu", "Results", "", "mnuDocument"},
    {"mnuGrid", "Grid", "", "mnuQResu", DocumentCommand::ResultsInGrid},
    {"mnuText", "Text", "", "mnuQResu", DocumentCommand::ResultsInText},
    SEP("mnuQResu"),
    {"mnuResHideShow", "Hide/Show Full", "Ctrl+W", "mnuQResu", WindowCommand::ResultsFullToggle, "Ctrl+J"},
    {"mnuDocumentsViews", "Query View", "", "mnuDocument"},
    {"mnuObjectBrowsers", "Object Browser", "", "mnuDocumentsViews"},
    {"mnuO100", "100% (All)", "", "mnuObjectBrowsers", DocumentCommand::ObjectBrowserAll},
    {"mnuO75", "75%", "", "mnuObjectBrowsers", DocumentCommand::ObjectBrowser75},
    {"mnuO50", "50%", "", "mnuObjectBrowsers", DocumentCommand::ObjectBrowser50},
    {"mnuO30", "30% (Default)", "Ctrl+E", "mnuObjectBrowsers", DocumentCommand::ToggleObjectBrowser},
    {"mnuOHide", "Hide (0%)", "", "mnuObjectBrowsers", DocumentCommand::ObjectBrowserHidden},
    {"mnuViewStatusBar", "Results Panel", "", "mnuDocumentsViews"},
    {"mnu100", "100% (All)", "", "mnuViewStatusBar", DocumentCommand::ResultsAll},
    {"mnuR70", "75%", "", "mnuViewStatusBar", DocumentCommand::Results75},
    {"mnuR50", "50%", "", "mnuViewStatusBar", DocumentCommand::Results50},
    {"mnuR30", "30% (Default)", "", "mnuViewStatusBar", DocumentCommand::ResultsDefault},
    {"mnuR0", "Hide (0%)", "", "mnuViewStatusBar", DocumentCommand::ResultsHidden},
    {"mnuToogleSense", "Sense Toggle", "", "mnuDocument"},
    {"mnuCatalogSense", "Catalog Sense", "F9", "mnuToogleSense", DocumentCommand::CatalogSense},
    {"mnuCodeSenseTable", "Catalog Table Sense", "F8", "mnuToogleSense", DocumentCommand::CatalogTableSense},
    {"mnuCodeSense", "Code Sense", "F6", "mnuToogleSense", DocumentCommand::CodeSense},
    {"mnuCodeSenseVariable", "Code Sense Variables", "F7", "mnuToogleSense", DocumentCommand::VariableSense},
    SEP("mnuDocument"),
    {"mnuViewOptions", "&Options...", "", "mnuDocument", WindowCommand::Options},
    {"mnuKeyboard", "&Keyboard Shortcuts...", "", "mnuDocument", WindowCommand::KeyboardShortcuts},

    {"mnuTools", "&Tools", "", nullptr},
    {"mnuToolsImportCsv", "Import CSV...", "", "mnuTools", DocumentCommand::ImportCsv},

    {"mnuWindow", "&Window", "", nullptr},
    {"mnuWindowCascade", "&Cascade", "", "mnuWindow", WindowCommand::Cascade},
    {"mnuWindowTileHorizontal", "Tile &Horizontal", "", "mnuWindow", WindowCommand::TileHorizontal},
    {"mnuWindowTileVertical", "Tile &Vertical", "", "mnuWindow", WindowCommand::TileVertical},
    {"mnuWindowArrangeIcons", "&Arrange Icons", "", "mnuWindow", WindowCommand::ArrangeIcons},

    {"mnuHelp", "&Help", "", nullptr},
    {"mnuHelpContents", "&Contents", "F1", "mnuHelp", WindowCommand::HelpContents},
    {"mnuHelpSearchForHelpOn", "Online", "", "mnuHelp", WindowCommand::HelpOnline},
    SEP("mnuHelp"),
    {"mnuHelpAbout", "&About ", "", "mnuHelp", WindowCommand::About},

    {"mnuObjects", "NOVIS_OBJECTS", "", nullptr},
    {"mnuObjDirectInsert", "Insert Object", "", "mnuObjects", WindowCommand::ObjectInsert},
    {"mnuOBJBrowse", "Browse Object", "", "mnuObjects", WindowCommand::ObjectBrowse},
    {"mnuObjMnuSelect", "Script Object To...", "", "mnuObjects"},
    {"mnuObjSelect", "Select", "", "mnuObjMnuSelect", WindowCommand::ObjectSelect},
    {"mnuObjInsert", "Insert", "", "mnuObjMnuSelect", WindowCommand::ObjectInsertScript},
    {"mnuObjUpdate", "Update", "", "mnuObjMnuSelect", WindowCommand::ObjectUpdate},
    {"mnuObjDelete", "Delete", "", "mnuObjMnuSelect", WindowCommand::ObjectDelete},
    SEP("mnuObjects"),
    {"mnuObjRefresh", "Refresh", "", "mnuObjects", DocumentCommand::RefreshObjects},
    {"mnuObjHelp", "Help", "", "mnuObjects", WindowCommand::ObjectHelp},
    SEP("mnuObjects"),
    {"mnuObjDefinition", "Show Definition", "", "mnuObjects", WindowCommand::ObjectDefinition},

    {"mnuTemplate", "NOVIS_TEMPLATE", "", nullptr},
    {"mnuTemplateNew", "New Item", "", "mnuTemplate", WindowCommand::TemplateNew},
    {"mnuTemplateEdit", "Edit Item", "", "mnuTemplate", WindowCommand::TemplateEdit},
    SEP("mnuTemplate"),
    {"mnuTemplateDelete", "Delete Item", "", "mnuTemplate", WindowCommand::TemplateDelete},
    SEP("mnuTemplate"),
    {"mnuTemplateHelp", "Help", "", "mnuTemplate", WindowCommand::TemplateHelp},

    {"mnuNovisGrid", "NOVIS_GRID", "", nullptr},
    {"mnuGridInsert", "Insert Object", "", "mnuNovisGrid", DocumentCommand::GridInsertObject},
    {"mnuGridCopy", "Copy", "", "mnuNovisGrid", DocumentCommand::GridCopy},
    {"mnuGridSaveAs", "Save as...", "", "mnuNovisGrid", DocumentCommand::GridSaveAs},
    SEP("mnuNovisGrid"),
    {"mnuGridHelp", "Help", "", "mnuNovisGrid", WindowCommand::GridHelp},
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
