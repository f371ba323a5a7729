#include "TempHome.h"

#include "settings/AppHome.h"

TempHome::TempHome() : previous_(AppHome::path()) { AppHome::set(dir_.path()); }

TempHome::~TempHome() { AppHome::set(previous_); }
