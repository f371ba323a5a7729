#pragma once
// A result read as the grid reads it, with a change set over it and the
// save of that change set on the same connection: the path of an edit from
// the grid to the server, without a window.

#include "catalog/SqlDialect.h"
#include "db/Connection.h"
#include "edit/ChangeSaver.h"
#include "edit/ChangeSet.h"
#include "edit/EditTarget.h"
#include "edit/SaveStatements.h"

#include <memory>

struct EditedResult {
    std::vector<db::Field> fields;
    db::Table rows;
    edit::EditTarget target;
    std::unique_ptr<edit::ChangeSet> changes;

    // Runs sql on conn and reads the edit target of its result.
    EditedResult(db::Connection& conn, const QString& sql) {
        auto cursor = conn.execute(sql);
        fields = cursor->fields();
        rows = db::readTable(*cursor);
        cursor.reset();
        target = edit::readEditTarget(conn, fields);
        changes = std::make_unique<edit::ChangeSet>(int(fields.size()), qint64(rows.rows.size()),
                                                    [this](qint64 r, int c) { return rows.rows[size_t(r)][size_t(c)]; });
    }
    int column(const QString& name) const { return rows.column(name); }
    std::vector<edit::SaveStatement> statements(const db::Connection& conn) const {
        return edit::buildSaveStatements(target, fields, *changes,
                                         SqlDialect::forServer(conn.serverFamily(), conn.identifierQuote()));
    }
    // Builds and runs the save; accepts it in the change set when it went through.
    edit::SaveOutcome save(db::Connection& conn) {
        edit::SaveOutcome out =
            edit::saveChanges(conn, statements(conn), [this](qint64 row) { return edit::rowName(target, *changes, row); });
        if (out.saved) changes->accepted(out.readBack);
        return out;
    }
};
