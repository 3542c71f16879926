// Runs a fuzz target's entry point once over every file of its seed corpus,
// so that the test suite fails on a known input that crashes, takes too long
// or takes too much memory. Usage: replay_<target> FOLDER_OR_FILE
//     [--max-seconds S] [--max-rss-mib M] [--verbose]
// --verbose prints each input's time and the peak memory after it.

#include "fuzz_input.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

long peakRssMib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s FOLDER_OR_FILE [--max-seconds S] [--max-rss-mib M] [--verbose]\n",
                     argv[0]);
        return 2;
    }
    double maxSeconds = 2.0;
    long maxRssMib = 1024;
    bool verbose = false;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--verbose")
            verbose = true;
        else if (option == "--max-seconds" && i + 1 < argc)
            maxSeconds = std::stod(argv[++i]);
        else if (option == "--max-rss-mib" && i + 1 < argc)
            maxRssMib = std::stol(argv[++i]);
    }
    std::vector<std::filesystem::path> inputs;
    if (std::filesystem::is_regular_file(argv[1]))
        inputs.push_back(argv[1]);
    else
        for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
            if (entry.is_regular_file())
                inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "no seed files in %s\n", argv[1]);
        return 1;
    }
    int failures = 0;
    for (const auto& path : inputs) {
        const std::vector<std::uint8_t> bytes = readAll(path);
        const auto start = std::chrono::steady_clock::now();
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (verbose)
            std::printf("%s: %.4f s, peak memory %ld MiB\n", path.filename().c_str(), took.count(),
                        peakRssMib());
        if (took.count() > maxSeconds) {
            std::fprintf(stderr, "%s: %.2f s, more than %.2f s\n", path.c_str(), took.count(),
                         maxSeconds);
            ++failures;
        }
        if (peakRssMib() > maxRssMib) {
            std::fprintf(stderr, "%s: peak memory %ld MiB, more than %ld MiB\n", path.c_str(),
                         peakRssMib(), maxRssMib);
            return 1; // the peak stays: later inputs cannot be judged
        }
    }
    std::printf("%zu inputs, %d too slow, peak memory %ld MiB\n", inputs.size(), failures,
                peakRssMib());
    return failures == 0 ? 0 : 1;
}
