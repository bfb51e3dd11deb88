// The process-wide strings that locate the configuration file, set once by
// the main window's construction and read by the configuration manager.
#pragma once

#include <string>

// The executable's file name without folder and extension ("Snapwell").
extern std::string g_sExeName;
// The per-user application-data folder, a backslash, the product name and a
// trailing backslash.
extern std::string g_sConfigFolder;

// g_sConfigFolder + g_sExeName + ".cfg"; empty when either string is empty.
std::string ConfigFileName();
