// Runs a fuzz target once over each file in the folders named on its command
// line, without libFuzzer: the ordinary build's tests check every seed this
// way. A failed check aborts (fuzz/apoio.h), after the name of the seed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *dados, std::size_t tamanho);

int main(int argc, char **argv) {
    std::vector<std::filesystem::path> sementes;
    for (int i = 1; i < argc; ++i) {
        for (const auto &entrada : std::filesystem::directory_iterator(argv[i])) {
            sementes.push_back(entrada.path());
        }
    }
    std::sort(sementes.begin(), sementes.end());
    for (const auto &semente : sementes) {
        std::printf("%s\n", semente.c_str());
        std::fflush(stdout);
        std::ifstream arquivo(semente, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(arquivo),
                                std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    }
    std::printf("%zu seeds\n", sementes.size());
    return sementes.empty() ? 1 : 0;
}
