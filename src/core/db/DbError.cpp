#include "db/DbError.h"

namespace db {

Error::Error(int number, QString description, QString sqlState)
    : number_(number), description_(std::move(description)), sqlState_(std::move(sqlState)),
      what_(description_.toStdString()) {}

} // namespace db
