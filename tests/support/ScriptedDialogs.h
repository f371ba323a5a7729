#pragma once
// Dialogs answered from queues prepared by a test. Every call is recorded;
// a call with no prepared answer gets "cancel" and is counted as unexpected.

#include "common/Dialogs.h"

#include <QStringList>

#include <deque>

// GCC 12 warns falsely about the optional's members being uninitialised.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs() { Dialogs::install(this); }
    ~ScriptedDialogs() override { Dialogs::install(nullptr); }

    std::deque<Answer> answers;
    std::deque<int> choices;        // for choose(); an empty deque closes the dialog (-1)
    std::deque<QString> inputs;     // for input(); an empty deque cancels
    std::deque<int> numbers;        // for inputNumber()
    std::deque<QString> secrets;    // for secret(); an empty deque cancels
    std::deque<QString> fileNames;  // for open/save dialogs; "" cancels
    std::deque<QString> chosenFilters;
    std::deque<std::optional<NewConnection>> connections; // for newConnection(); empty cancels
    std::vector<ConnectionKind> connectionKinds;
    // for parameterValues(); an empty deque cancels
    std::deque<script::ParameterValues> parameterAnswers;
    std::vector<QStringList> parameterAsks;              // the names shown, per ask
    std::vector<script::ParameterValues> rememberedSeen; // what each ask started from

    QStringList messages;   // texts shown
    QStringList questions;  // texts asked
    QStringList defaultButtons, escapeButtons; // of each choose(): what Enter and Escape press ("" for none)
    QStringList fileDialogs; // titles of file dialogs shown
    QStringList startFolders; // where each file dialog opened
    int unexpected = 0;

    void message(QWidget*, const QString& text, const QString&) override { messages << text; }
    Answer question(QWidget*, const QString& text, const QString&, Buttons) override {
        questions << text;
        if (answers.empty()) {
            ++unexpected;
            return Answer::Cancel;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    int choose(QWidget*, const QString& text, const QString&, const QStringList& buttons, int defaultButton,
               int escapeButton) override {
        questions << text;
        defaultButtons << buttons.value(defaultButton);
        escapeButtons << buttons.value(escapeButton);
        if (choices.empty()) {
            ++unexpected;
            return -1;
        }
        const int c = choices.front();
        choices.pop_front();
        return c;
    }
    std::optional<QString> input(QWidget*, const QString&, const QString&, const QString&) override {
        if (inputs.empty()) {
            ++unexpected;
            return std::nullopt;
        }
        QString v = inputs.front();
        inputs.pop_front();
        return v;
    }
    std::optional<int> inputNumber(QWidget*, const QString&, const QString&, int, int, int) override {
        if (numbers.empty()) {
            ++unexpected;
            return std::nullopt;
        }
        const int v = numbers.front();
        numbers.pop_front();
        return v;
    }
    std::optional<QString> secret(QWidget*, const QString& prompt, const QString&) override {
        questions << prompt;
        if (secrets.empty()) {
            ++unexpected;
            return std::nullopt;
        }
        QString v = secrets.front();
        secrets.pop_front();
        return v;
    }
    QString openFileName(QWidget*, const QString& title, const QStringList&, const QString& startIn) override {
        startFolders << startIn;
        return nextFile(title);
    }
    QString saveFileName(QWidget*, const QString& title, const QStringList& filters, const QString& startIn,
                         QString* selectedFilter) override {
        startFolders << startIn;
        if (selectedFilter) {
            *selectedFilter = chosenFilters.empty() ? filters.value(0) : chosenFilters.front();
            if (!chosenFilters.empty()) chosenFilters.pop_front();
        }
        return nextFile(title);
    }

    std::optional<script::ParameterValues>
    parameterValues(QWidget*, const std::vector<script::ScriptParameters::Name>& names,
                    const script::ParameterValues& remembered) override {
        QStringList shown;
        for (const auto& n : names) shown << n.shown;
        parameterAsks.push_back(shown);
        rememberedSeen.push_back(remembered);
        if (parameterAnswers.empty()) return std::nullopt;
        script::ParameterValues v = std::move(parameterAnswers.front());
        parameterAnswers.pop_front();
        return v;
    }

    std::optional<NewConnection> newConnection(QWidget*, ConnectionKind kind) override {
        connectionKinds.push_back(kind);
        if (connections.empty()) return std::nullopt;
        std::optional<NewConnection> c = std::move(connections.front());
        connections.pop_front();
        return c;
    }

private:
    QString nextFile(const QString& title) {
        fileDialogs << title;
        if (fileNames.empty()) {
            ++unexpected;
            return {};
        }
        QString f = fileNames.front();
        fileNames.pop_front();
        return f;
    }
};

#pragma GCC diagnostic pop
