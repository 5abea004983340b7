// The NE walk against a bare pass over the same resource entries: the walk's
// checks and name handling should cost at most about twice the bare reads.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "../native/NeImageBuilder.h"
#include "formats/executables/NeResources.h"
#include "formats/executables/TargetCheck.h"
#include "support/MemoryTargetFile.h"

namespace {

// A few small types ahead of the wanted one (bitmaps, type 2) with count
// resources of 16 bytes each, with the shift count 4.
std::vector<uint8_t> TableOf(int count) {
    std::vector<NeTestType> types;
    for (uint16_t id : {14, 12, 6}) {
        types.push_back({NeId(id), {{NeId(1), std::vector<uint8_t>(16, 1)}}});
    }
    NeTestType bitmaps{NeId(2), {}};
    for (int i = 0; i < count; ++i) {
        bitmaps.resources.push_back(
            {NeId(static_cast<uint16_t>(i + 1)), std::vector<uint8_t>(16, 2)});
    }
    types.push_back(bitmaps);
    return BuildNeImage(types, 4);
}

int Sum(ResName name, const uint8_t* data, uint32_t size, void* user) {
    *static_cast<uint64_t*>(user) += ResNameId(name) + size + (data[0] & 0);
    return 1;
}

void BM_EnumNeResources(benchmark::State& state) {
    std::vector<uint8_t> bytes = TableOf(static_cast<int>(state.range(0)));
    MappedNeImage image = {};
    if (!LocateNeResourceTable(bytes.data(), bytes.size(), &image)) {
        state.SkipWithError("table not located");
        return;
    }
    for (auto _ : state) {
        uint64_t sum = 0;
        EnumNeResources(image, MakeIntResName(2), Sum, &sum);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same entries read with no checks at all: where the table says they are.
void BM_BarePass(benchmark::State& state) {
    std::vector<uint8_t> bytes = TableOf(static_cast<int>(state.range(0)));
    size_t first = kNeTestTable + 2 + 3 * (8 + 12) + 8;
    for (auto _ : state) {
        uint64_t sum = 0;
        const uint8_t* entry = bytes.data() + first;
        for (int64_t i = 0; i < state.range(0); ++i, entry += 12) {
            sum += PeekU16(entry) + (uint32_t{PeekU16(entry + 2)} << 4) +
                   (PeekU16(entry + 6) & 0x7FFF);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The bare pass with the same callback per entry, called through a pointer the
// compiler cannot see through: what the walk's own checks add on top.
void BM_BarePassWithCallback(benchmark::State& state) {
    std::vector<uint8_t> bytes = TableOf(static_cast<int>(state.range(0)));
    size_t first = kNeTestTable + 2 + 3 * (8 + 12) + 8;
    NeResourceCallback volatile callback = Sum;
    for (auto _ : state) {
        uint64_t sum = 0;
        const uint8_t* entry = bytes.data() + first;
        NeResourceCallback call = callback;
        for (int64_t i = 0; i < state.range(0); ++i, entry += 12) {
            if (!call(MakeIntResName(PeekU16(entry + 6) & 0x7FFF),
                      bytes.data() + (uint32_t{PeekU16(entry)} << 4),
                      uint32_t{PeekU16(entry + 2)} << 4, &sum)) {
                break;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_EnumNeResources)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK(BM_BarePass)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK(BM_BarePassWithCallback)->Arg(100)->Arg(1000)->Arg(10000);

// The target check over a file held in memory, read the way the shell's file
// is: sequential reads with one repositioning.
void CheckHeadersOf(benchmark::State& state, const std::vector<uint8_t>& bytes) {
    for (auto _ : state) {
        MemoryTargetFile file{bytes.data(), bytes.size(), 0};
        bool passed = CheckTargetHeaders(
            MemoryTargetSource(&file, static_cast<uint32_t>(bytes.size())), kPe32AndPe32Plus);
        if (!passed) {
            state.SkipWithError("the target check refused the file");
            return;
        }
        benchmark::DoNotOptimize(passed);
    }
}

void BM_CheckTargetHeadersNe(benchmark::State& state) {
    CheckHeadersOf(state, TableOf(10000));
}

// A real PE file with many sections: Wine's own shell32.dll when installed.
void BM_CheckTargetHeadersPe(benchmark::State& state) {
    std::ifstream file("/usr/lib/i386-linux-gnu/wine/i386-windows/shell32.dll", std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        state.SkipWithError("no shell32.dll of Wine on this machine");
        return;
    }
    CheckHeadersOf(state, bytes);
}

BENCHMARK(BM_CheckTargetHeadersNe);
BENCHMARK(BM_CheckTargetHeadersPe);

}  // namespace
