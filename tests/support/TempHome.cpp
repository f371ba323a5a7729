#include "TempHome.h"

#include "settings/AppPaths.h"
#include "store/HomeSeeding.h"

TempHome::TempHome() : previous_(AppPaths::folders()) { AppPaths::set(dir_.path()); }

TempHome::~TempHome() { AppPaths::set(previous_); }
