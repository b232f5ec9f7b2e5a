#pragma once

#if defined(QVEXTPLUGUI_BUILDING)
#  define QVEXTPLUGUI_EXPORT __attribute__((visibility("default")))
#else
#  define QVEXTPLUGUI_EXPORT __attribute__((visibility("default")))
#endif
