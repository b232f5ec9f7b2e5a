#pragma once

/// Initialises libsodium once; false when the library cannot be used.
bool jxSodiumReady();
