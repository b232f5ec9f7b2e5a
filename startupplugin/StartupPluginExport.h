#pragma once

#define QVSTARTUPPLUGIN_EXPORT __attribute__((visibility("default")))
