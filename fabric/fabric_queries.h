// The fabric's generic services as the scan pass uses them: the name server's entries
// (for the RNID name-server walk) and the platforms registered with the fabric
// configuration server.
#pragma once

#include "fabric/config_server.h"
#include "fabric/name_server.h"
