#include "app/join_path.h"

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) {
        return name;
    }
    if (dir.back() == '\\') {
        return dir + name;
    }
    return dir + "\\" + name;
}
