// The sample product's main program. It is what the demo installs as
// Rembrix.Exe and what the setup program offers to start at the end: it says
// that it ran, on standard output and in a file beside it, so the demo can
// show that the installed program really started.
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    char stamp[64] = {};
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    const auto folder = std::filesystem::current_path();
    std::ofstream log(folder / "Rembrix.ran", std::ios::app);
    log << "Rembrix started at " << stamp << " in " << folder.string() << " as "
        << (argc > 0 ? argv[0] : "?") << "\n";
    std::cout << "Rembrix is running (started " << stamp << ")." << std::endl;
    return log ? 0 : 1;
}
