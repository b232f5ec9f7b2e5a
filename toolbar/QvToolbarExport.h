#pragma once

// Everything a host form needs from the toolbar library is exported; the rest
// stays hidden (hidden visibility is the default for the whole build).
#define QVTOOLBAR_EXPORT __attribute__((visibility("default")))
