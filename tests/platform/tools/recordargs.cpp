// Records how it was started: its working folder and its arguments, NUL-separated, into the
// file named by ORV_RECORD_FILE. The file appears complete or not at all.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const char* target = std::getenv("ORV_RECORD_FILE");
    if (!target || !*target)
        return 2;
    const std::string tmp = std::string(target) + ".part";
    {
        std::ofstream out(tmp, std::ios::binary);
        out << std::filesystem::current_path().string() << '\0';
        for (int i = 1; i < argc; ++i)
            out << argv[i] << '\0';
    }
    std::filesystem::rename(tmp, target);
    return 0;
}
