#include "settings/ConfigPaths.h"

std::string g_sExeName;
std::string g_sExeFolder;
std::string g_sConfigFolder;

std::string ConfigFileName() {
    if (g_sConfigFolder.empty() || g_sExeName.empty())
        return {};
    return g_sConfigFolder + g_sExeName + ".cfg";
}
