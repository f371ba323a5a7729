#pragma once
// The commands a query document carries out for the main window's menus and
// keys (QueryDocument::execute), and the pop-up menus it asks the main window
// to show. Typed, so a misspelt command does not compile.

enum class DocumentCommand {
    // files
    OpenNew, OpenAppend, Save, SaveAs, Print,
    // editing (act on the pane that has the focus)
    Undo, Redo, Cut, Copy, Paste,
    // editor commands
    Find, FindNext, FindPrevious, Replace, GoToLine, ToggleBookmark, NextBookmark, PreviousBookmark, ClearBookmarks,
    // runs
    QueryCheck, Execute, ExecuteStatement, Stop, Disconnect, ResultsInGrid, ResultsInText,
    // views
    FocusQuery, FocusResults, ShowObjectsTab, ShowTemplatesTab, ShowHelpTab, ShowHistoryTab, ToggleObjectBrowser,
    ObjectBrowserAll, ObjectBrowser75, ObjectBrowser50, ObjectBrowserDefault, ObjectBrowserHidden,
    ResultsAll, Results75, Results50, ResultsDefault, ResultsHidden,
    // assistance
    CodeSense, CatalogSense, CatalogTableSense, VariableSense, FormatSql,
    // object browser and grid pop-ups
    RefreshObjects, GridInsertObject, GridCopy, GridSaveAs, GridOpenValue,
    // copying the grid's selection in a format; the toggle of the column names
    GridCopyAsTsv, GridCopyAsCsv, GridCopyAsMarkdown, GridCopyAsJson, GridCopyAsSql, GridCopyHeaders,
};

// The main window's menus a document shows as pop-ups.
enum class PopupMenu { Edit, Query, Grid, Objects, Templates };
