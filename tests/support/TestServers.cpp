#include "TestServers.h"

#include <QtGlobal>

QString serverConnectionString(const ServerUnderTest& server) { return qEnvironmentVariable(server.envVar); }
