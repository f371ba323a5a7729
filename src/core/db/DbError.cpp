#include "db/DbError.h"

namespace db {

Error::Error(int number, QString description, QString sqlState)
    : number_(number), description_(std::move(description)), sqlState_(std::move(sqlState)),
      what_(description_.toStdString()) {}

Error Error::closedResult() {
    Error e(kNoErrorNumber, QStringLiteral("Operation is not allowed when the object is closed."));
    e.kind_ = Kind::ClosedResult;
    return e;
}

Error Error::usage(QString description) {
    Error e(kNoErrorNumber, std::move(description));
    e.kind_ = Kind::Usage;
    return e;
}

Error Error::valueCount(qsizetype markers, qsizetype given) {
    Error e(kNoErrorNumber,
            QStringLiteral("[07001] The statement has %1 parameter marker(s) but %2 value(s) were given; it was not run.")
                .arg(markers)
                .arg(given),
            QStringLiteral("07001"));
    e.kind_ = Kind::Usage;
    return e;
}

Error Error::cancelled(QString description, QString sqlState) {
    Error e(kNoErrorNumber, std::move(description), std::move(sqlState));
    e.kind_ = Kind::Cancelled;
    return e;
}

} // namespace db
