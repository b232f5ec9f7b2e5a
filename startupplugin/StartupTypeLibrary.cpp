// The library's own description, so its interfaces can be looked up by name
// like those of any server library.

#include "platform/com/TypeLibrary.h"

QV_TYPE_LIBRARY("library qvStartupPlugin 1.0 {4D7E1B20-6C3A-4F59-8E21-9A0B3C4D5E61}\n"
                "interface IStartupPlugin {903BC105-D797-48E0-9F1F-7F382ACCEC19}\n"
                "interface StartupSettings {B17CEAE8-8135-4F6F-985A-F3A4240B39C6}\n"
                "interface StartupError {375A60AF-8B24-44B0-B194-92A85C92FADC}\n");
