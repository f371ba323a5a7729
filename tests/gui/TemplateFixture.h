#pragma once
// A small template library of the test's own (hostile titles included), the
// program-wide template selection reset, dialogs that also record what the
// input boxes asked, a main window, and a way to work a modal template editor.
#include "document/QueryDocument.h"
#include "shell/MainWindow.h"
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "store/TemplateStore.h"
#include "support/GuiBShownTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "templates/TemplateEditor.h"
#include "templates/TemplateSelection.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// Records the title, prompt and default text of every input box too.
class RecordingDialogs : public ScriptedDialogs {
public:
    struct Asked {
        QString prompt, title, defaultText;
    };
    std::vector<Asked> inputsAsked;
    QStringList questionTitles;
    std::optional<QString> input(QWidget* p, const QString& prompt, const QString& title,
                                 const QString& defaultText) override {
        inputsAsked.push_back({prompt, title, defaultText});
        return ScriptedDialogs::input(p, prompt, title, defaultText);
    }
    Answer question(QWidget* p, const QString& text, const QString& title, Buttons b) override {
        questionTitles << title;
        return ScriptedDialogs::question(p, text, title, b);
    }
};

class TemplateFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store::ensureSeeded().isEmpty());
        TemplateSelection::current() = TemplateSelection{};
        auto c = ResourceDb::open();
        c->exec(QStringLiteral("DELETE FROM templates"));
        c->exec(QStringLiteral("DELETE FROM template_types"));
        // ids chosen so that a group's key "C12" minus two characters would read as template 2
        c->exec(QStringLiteral("INSERT INTO template_types (id, title) VALUES (12, 'Beta'), (7, 'alpha'), "
                               "(30, 'Mine''s 100%_'), (45, 'Empty')"));
        c->exec(QStringLiteral("INSERT INTO templates (id, \"group\", title, code) VALUES "
                               "(2, 12, 'b-two', 'SELECT 2' || char(13,10) || 'FROM two;'), "
                               "(1, 12, 'b-one', 'SELECT 1;'), "
                               "(3, 7, 'a-only', 'SELECT 3' || char(10) || 'FROM lf_only;'), "
                               "(4, 30, 'It''s 50% \"done\"', 'SELECT ''%'';')"));
    }
    void TearDown() override {
        if (window)
            for (QueryDocument* d : window->documents())
                d->setChanged(false);
        window.reset();
        TemplateSelection::current() = TemplateSelection{};
    }

    static qint64 count(const char* sql) {
        return ResourceDb::open()
            ->query(QLatin1String(sql))
            .rows.at(0)
            .at(0)
            .value_or(QStringLiteral("-1"))
            .toLongLong();
    }

    // The main window, shown; closed at the end without a question.
    void openWindow() {
        window = std::make_unique<MainWindow>();
        window->resize(1200, 800);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // Triggers a command and works the template editor it shows modally
    // (within 5 s); false when none showed.
    static bool inEditorOf(QAction* command, const std::function<void(TemplateEditor*)>& work) {
        auto seen = std::make_shared<bool>(false);
        auto* timer = new QTimer;
        auto started = std::make_shared<QElapsedTimer>();
        started->start();
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [timer, started, work, seen] {
            auto* editor = qobject_cast<TemplateEditor*>(QApplication::activeModalWidget());
            if (!editor && started->elapsed() < 5000) return;
            timer->stop();
            timer->deleteLater();
            if (!editor) return;
            *seen = true;
            work(editor);
        });
        timer->start();
        command->trigger();
        return *seen;
    }

    TempHome home;
    RecordingDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};
