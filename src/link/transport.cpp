// The transport interface has no code of its own; this unit carries its meta-object.
#include "link/transport.h"
