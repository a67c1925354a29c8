#pragma once
// Registers each figure of a benchmark program once per book size, size by size, so
// that a program that keeps one book at a time builds each book once. The names read
// "BM_Name/units", as the scaling table of make bench expects.

#include <benchmark/benchmark.h>

#include <span>
#include <string>
#include <utility>

namespace vorra::bench {

inline constexpr int kBookSizes[] = {1000, 10000, 50000, 200000};

using Figure = void (*)(benchmark::State&, int);
struct NamedFigure {
    const char* name;
    Figure figure;
};

enum class Clock { Thread, WholeProcess };

// `accepts` may leave out a size for a figure (a format's row limit). With
// Clock::WholeProcess the figures report the wall clock and the process's CPU time
// (for work that other threads share, such as compression).
template <class Accepts>
void registerBySize(std::span<const NamedFigure> figures, Clock clock, Accepts accepts) {
    for (int units : kBookSizes)
        for (const NamedFigure& f : figures) {
            if (!accepts(f.name, units)) continue;
            auto* b = benchmark::RegisterBenchmark((std::string(f.name) + "/" + std::to_string(units)).c_str(),
                                                   [figure = f.figure, units](benchmark::State& state) { figure(state, units); });
            b->Unit(benchmark::kMillisecond);
            if (clock == Clock::WholeProcess) b->MeasureProcessCPUTime()->UseRealTime();
        }
}

inline void registerBySize(std::span<const NamedFigure> figures) {
    registerBySize(figures, Clock::Thread, [](const char*, int) { return true; });
}

}  // namespace vorra::bench
