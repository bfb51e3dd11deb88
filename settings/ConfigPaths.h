// The process-wide strings that locate the program's files, set once by the
// main window's construction: the configuration file (read by the
// configuration manager) and the help file beside the executable.
#pragma once

#include <string>

// The executable's file name without folder and extension ("Snapwell").
extern std::string g_sExeName;
// The executable's folder with a trailing backslash.
extern std::string g_sExeFolder;
// The per-user application-data folder, a backslash, the product name and a
// trailing backslash.
extern std::string g_sConfigFolder;

// g_sConfigFolder + g_sExeName + ".cfg"; empty when either string is empty.
std::string ConfigFileName();
