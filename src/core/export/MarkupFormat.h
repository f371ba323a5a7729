#pragma once
// The formats meant to be read by people: a Markdown pipe table and an HTML
// document. Both show NULL as an empty cell (or the NULL text) and keep
// every character of a value: Markdown escapes what its tables and inline
// marks would take ('|', '\\', '*', '_', '`', '<', '[', '&', …) and writes line
// breaks as <br>; HTML escapes &, <, >, quotes and CR, and keeps line
// breaks visible (white-space: pre-wrap). Number columns are right-aligned.

#include "export/TextFormat.h"

namespace exports {

class MarkdownFormat : public TextFormat {
public:
    explicit MarkdownFormat(const ExportOptions& options);
    void appendRows(QByteArray& out, const db::RowBlock& rows) override;

protected:
    void startSet(QByteArray& out, int setIndex) override;
};

class HtmlFormat : public TextFormat {
public:
    explicit HtmlFormat(const ExportOptions& options);
    void appendRows(QByteArray& out, const db::RowBlock& rows) override;
    void endSet(QByteArray& out) override;
    void endDocument(QByteArray& out) override;

protected:
    void startSet(QByteArray& out, int setIndex) override;

private:
    std::vector<QByteArray> cellOpen_; // "<td>" or "<td class=\"n\">" per column
    bool started_ = false;             // the document's head is written
};

} // namespace exports
