#include "app/AppHome.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream(stderr) << "sqlqe-run: the run engine is not built yet\n";
    return 2;
}
