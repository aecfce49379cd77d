#pragma once
// Times the program's code and a raw baseline side by side in one benchmark
// iteration and reports both and their ratio as counters:
//   lib_ms  - the program's code, milliseconds per iteration (also the manual time)
//   raw_ms  - the baseline, milliseconds per iteration
//   ratio   - lib_ms / raw_ms over the whole run
// Register such benchmarks with ->UseManualTime().

#include <benchmark/benchmark.h>

#include <chrono>

class BenchRatio {
public:
    template <typename F>
    double Lib(F&& work)
    {
        const double s = Seconds(work);
        m_lib += s;
        return s;
    }
    template <typename F>
    double Raw(F&& work)
    {
        const double s = Seconds(work);
        m_raw += s;
        return s;
    }
    void Report(benchmark::State& state) const
    {
        const double n = static_cast<double>(state.iterations() ? state.iterations() : 1);
        state.counters["lib_ms"] = m_lib * 1000.0 / n;
        state.counters["raw_ms"] = m_raw * 1000.0 / n;
        state.counters["ratio"] = m_raw > 0.0 ? m_lib / m_raw : 0.0;
    }

private:
    template <typename F>
    static double Seconds(F& work)
    {
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    double m_lib = 0.0;
    double m_raw = 0.0;
};
