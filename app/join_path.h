// Every file path of the installer is built with JoinPath.
#pragma once

#include <string>

// An empty `dir` gives `name`; a `dir` ending with "\" gives dir + name; any
// other `dir` gives dir + "\" + name.
std::string JoinPath(const std::string& dir, const std::string& name);
