#include "engine/KestCmdEngineMarker.h"

extern "C" int HALDEN_WORKS_BRX4_INTERNAL_KestCmdEngine() {
    return 1;
}
