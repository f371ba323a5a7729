#pragma once
// The parts a query document is composed of, in one place: what the
// document wires together, and the one way tests and tools reach a part.
// Callers in the program use the document's own operations instead.

class CodeAssist;
class ConnectionBadge;
class DocumentContext;
class DocumentSession;
class DocumentToolbar;
class EditorLook;
class ErrorLineMarker;
class HistoryPane;
class NavigationPanes;
class ObjectBrowser;
class ObjectScripter;
class OutputWatch;
class PanelStatusBar;
class QueryCheck;
class RatioSplitter;
class ResultPanes;
class RunController;
class ScriptFileActions;
class SqlEditor;
class StatementAtCaret;
class TemplateBrowser;

struct DocumentParts {
    DocumentContext* context = nullptr; // what the document is connected to
    DocumentToolbar* toolbar = nullptr;
    SqlEditor* editor = nullptr;
    EditorLook* look = nullptr;
    NavigationPanes* navigation = nullptr;
    ObjectBrowser* objects = nullptr;
    ObjectScripter* scripter = nullptr;
    TemplateBrowser* templates = nullptr;
    HistoryPane* history = nullptr;
    ResultPanes* results = nullptr;
    RatioSplitter* upperSplitter = nullptr; // editor | navigation
    RatioSplitter* lowerSplitter = nullptr; // upper area / results
    PanelStatusBar* status = nullptr;
    ConnectionBadge* badge = nullptr; // the connection's environment and read-only state
    RunController* runs = nullptr;
    DocumentSession* session = nullptr;
    ErrorLineMarker* errorLine = nullptr;
    StatementAtCaret* caretStatement = nullptr;
    QueryCheck* check = nullptr;
    ScriptFileActions* files = nullptr;
    OutputWatch* watch = nullptr;
    CodeAssist* assist = nullptr;
};
