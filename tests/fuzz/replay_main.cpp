// Replays files through a fuzz target once each, without libFuzzer: the
// arguments are files or directories of files. A fault shows as a sanitizer
// report, an uncaught exception or a crash, and so as a failed test.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <vector>

#include "fuzz_support.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int k = 1; k < argc; ++k) {
        const fs::path argument = fs::absolute(argv[k]);
        if (fs::is_directory(argument)) {
            for (const auto& entry : fs::directory_iterator(argument))
                if (entry.is_regular_file()) inputs.push_back(entry.path());
        } else {
            inputs.push_back(argument);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::cerr << "no input files\n";
        return 1;
    }
    for (const fs::path& input : inputs) {
        std::cout << "replaying " << input.filename().string() << std::endl;
        const std::string text = korvanti::fuzz::read_file(input);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }
    std::cout << inputs.size() << " inputs replayed\n";
    return 0;
}
