#pragma once
// A query document for the benchmarks: shown, active, on a connection, with
// its keyword catalogue loaded.
#include "assist/CodeAssist.h"
#include "assist/KeywordLanguage.h"
#include "document/QueryDocument.h"

#include <QApplication>
#include <QTest>
#include <cstdio>

inline bool openBenchDocument(QueryDocument& d, const QString& connectionString) {
    d.resize(1100, 750);
    d.show();
    d.setConnection(connectionString);
    QApplication::setActiveWindow(&d);
    if (QTest::qWaitForWindowActive(&d) &&
        QTest::qWaitFor([&] { return d.parts().assist->language()->isLoaded(); }, 10000))
        return true;
    std::fprintf(stderr, "the document did not come up\n");
    return false;
}
