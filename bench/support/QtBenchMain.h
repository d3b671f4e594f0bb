// main() of the benchmark programs that need Qt: one QApplication on the
// offscreen platform (unless QT_QPA_PLATFORM names another), then the benchmarks.
#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>
#include <clocale>

inline int RunQtBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#define ONDALIS_QT_BENCHMARK_MAIN()                                                                         \
    int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
