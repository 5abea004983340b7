// The PE resource walk over Wine's shell32.dll (about 3,000 leaves in many
// languages), alone and with the language counts the page's drop-down needs.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "formats/executables/ResourceDirectory.h"

namespace {

std::vector<uint8_t> Shell32() {
    std::ifstream file("/usr/lib/i386-linux-gnu/wine/i386-windows/shell32.dll", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>());
}

int Sum(const ResourceLeaf& leaf, void* user) {
    *static_cast<uint64_t*>(user) += leaf.language + leaf.size + leaf.fileOffset;
    return 1;
}

void BM_WalkShell32(benchmark::State& state) {
    const std::vector<uint8_t> bytes = Shell32();
    PeResourceSection section;
    if (!LocatePeResources(bytes.data(), bytes.size(), &section)) {
        state.SkipWithError("shell32.dll not found");
        return;
    }
    for (auto _ : state) {
        uint64_t sum = 0;
        WalkPeResources(section, Sum, &sum);
        benchmark::DoNotOptimize(sum);
    }
    state.SetLabel("one walk of the whole directory");
}

void BM_CountShell32Languages(benchmark::State& state) {
    const std::vector<uint8_t> bytes = Shell32();
    PeResourceSection section;
    if (!LocatePeResources(bytes.data(), bytes.size(), &section)) {
        state.SkipWithError("shell32.dll not found");
        return;
    }
    const ResName kinds[] = {
        MakeIntResName(14), MakeIntResName(2), MakeIntResName(12), MakeIntResName(6), "AVI",
        MakeIntResName(11)};
    std::vector<TypeLanguage> pairs(1024);
    for (auto _ : state) {
        uint32_t found = 0;
        CountTypeLanguages(section, kinds, 6, pairs.data(), 1024, &found);
        benchmark::DoNotOptimize(found);
    }
}

}  // namespace

BENCHMARK(BM_WalkShell32);
BENCHMARK(BM_CountShell32Languages);
