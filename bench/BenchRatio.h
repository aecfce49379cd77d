#pragma once
// Times the program's code and a raw baseline side by side in one benchmark
// iteration and reports both and their ratio as counters:
//   lib_ms  - the program's code, milliseconds per iteration (also the manual time)
//   raw_ms  - the baseline, milliseconds per iteration
//   ratio   - lib_ms / raw_ms over the whole run
// Register such benchmarks with ->UseManualTime().
//
// BenchRatio times on the wall clock; BasicBenchRatio<ThreadCpuClock> on this
// thread's CPU clock, for short work whose wall-clock ratio swings with
// whatever else the machine is running.

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

struct WallClock {
    static double Now()
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
};

struct ThreadCpuClock {
    static double Now()
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    }
};

template <typename Clock>
class BasicBenchRatio {
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
    // Times both, alternating from call to call which goes first so that neither
    // always finds the caches warm; returns the program's seconds.
    template <typename L, typename R>
    double Both(L&& lib, R&& raw)
    {
        if (++m_turn % 2) {
            const double s = Lib(lib);
            Raw(raw);
            return s;
        }
        Raw(raw);
        return Lib(lib);
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
        const double start = Clock::Now();
        work();
        return Clock::Now() - start;
    }
    double m_lib = 0.0;
    double m_raw = 0.0;
    long long m_turn = 0;
};

using BenchRatio = BasicBenchRatio<WallClock>;

// The body of a benchmark program's main() once its application object exists.
inline int RunBenchmarks(int& argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
