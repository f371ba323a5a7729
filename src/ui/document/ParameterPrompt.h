#pragma once
// Asks for the values of a script's parameters before it runs (or before
// its plan is read): the lexer finds them (ScriptParameters.h); one dialog
// takes every value; the values given are remembered for the document's
// next ask. A script without parameters asks nothing.

#include "script/ParameterBinding.h"

#include <optional>

class QWidget;

class ParameterPrompt {
public:
    explicit ParameterPrompt(QWidget* parent) : parent_(parent) {}

    // False when the user cancelled (nothing is to run). Otherwise values is
    // nullopt for a script without parameters, else what the user gave.
    bool ask(const QString& script, db::ServerFamily server, std::optional<script::ParameterValues>& values);
    const script::ParameterValues& remembered() const { return remembered_; }

private:
    QWidget* parent_;
    script::ParameterValues remembered_;
};
