#pragma once

// The object-model runtime is one shared library for the whole process, as the
// automation runtime is on the original platform: strings, variants, error
// information and the class registry must be the same for the program and for
// every plug-in library it loads.
#if defined(QVCOM_BUILDING)
#  define QVCOM_EXPORT __attribute__((visibility("default")))
#else
#  define QVCOM_EXPORT __attribute__((visibility("default")))
#endif
