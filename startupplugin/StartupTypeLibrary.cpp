// The library's own description, so its interfaces can be looked up by name
// like those of any server library.

#include "platform/com/TypeLibrary.h"
#include "startupplugin/IStartupPlugin.h"

QV_TYPE_LIBRARY("library qvStartupPlugin 1.0 {4D7E1B20-6C3A-4F59-8E21-9A0B3C4D5E61}\n"
                "interface IStartupPlugin " QV_IID_ISTARTUPPLUGIN "\n"
                "interface StartupSettings " QV_IID_STARTUPSETTINGS "\n"
                "interface StartupError " QV_IID_STARTUPERROR "\n");
