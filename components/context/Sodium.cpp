#include "components/context/Sodium.h"

#include <sodium.h>

bool jxSodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}
