// The fabric's generic services as the scan pass uses them: the name server's entries
// and the RNID walk over them, and the platforms registered with the fabric
// configuration server.
#pragma once

#include "fabric/config_server.h"
#include "fabric/name_server.h"
#include "fabric/name_server_walk.h"
