// The sample product's uninstaller (UnInstal.exe). It removes the product
// files listed in Rembrix.lst beside it, then the list and itself. It touches
// nothing that the list does not name.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 1) {
        return 2;
    }
    const auto folder = std::filesystem::absolute(argv[0]).parent_path();
    std::ifstream list(folder / "Rembrix.lst");
    if (!list) {
        std::cerr << "UnInstal: no file list (Rembrix.lst) beside the uninstaller\n";
        return 1;
    }
    std::string name;
    int removed = 0;
    while (std::getline(list, name)) {
        if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
            continue;
        }
        std::error_code error;
        if (std::filesystem::remove(folder / name, error)) {
            ++removed;
        }
    }
    list.close();
    std::filesystem::remove(folder / "Rembrix.lst");
    std::filesystem::remove(std::filesystem::absolute(argv[0]));
    std::cout << "Rembrix removed (" << removed << " files)." << std::endl;
    return 0;
}
