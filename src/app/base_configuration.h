#pragma once
// The base library's configuration, compiled in: the window's start-up and
// the console's checks initialise the library with it.
constexpr char kBaseConfiguration[] =
    "+[base]\n"
    "Name = \"patch\"\n"
    "[base.memory]\n"
    "MemBreak    = 0\n"
    "LeakBreak   = false\n"
    "DumpMemLeak = false\n"
    "[base.log]\n"
    "Console = false\n"
    "File = false\n"
    "MultiFile = true\n"
    "[base.engine]\n";
