// Micro-benchmarks of the per-record work: forming pieces and tokens, the
// number and date conversions, and reading a whole report into AppRecords
// as a run does, listed and summed.
// Built with -DSALESUM_BUILD_BENCHMARKS=ON; run build/micro_bench.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.h"
#include "input/date_value.h"
#include "input/lenient_number.h"
#include "input/reading/piece_reader.h"
#include "input/sales_report.h"

namespace {

constexpr std::string_view kLine =
    "STORE\tUS\t1004\t \t \tTiny Comet\tMetroGuide\t \t1\t56\t25.20\t07/06/2008\t07/12/2008\t"
    "MXN\tMX\tMXN\t \t \t \t301235004\t36.00\t \t \r\n";

// A report of many copies of a typical line, as the reader sees it.
std::string manyLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += kLine;
    }
    return text;
}

void formingPieces(benchmark::State& state) {
    std::string text = manyLines(10000);
    static PieceReader reader;
    Piece piece;
    for (auto _ : state) {
        std::FILE* file = fmemopen(text.data(), text.size(), "rb");
        startPieces(reader, file);
        while (readPiece(reader, piece)) {
            benchmark::DoNotOptimize(piece.length);
        }
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(formingPieces);

void formingTokens(benchmark::State& state) {
    Piece line;
    std::string text(kLine.substr(0, kLine.size() - 2));
    text += '\n';
    text.copy(line.text, text.size());
    line.length = text.size();
    for (auto _ : state) {
        line.cursor = 0;
        std::string_view token;
        while (nextToken(line, "\t\n", token)) {
            benchmark::DoNotOptimize(token);
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(formingTokens);

void convertingIntegers(benchmark::State& state) {
    constexpr std::array<std::string_view, 4> kTexts = {"1", "56", "-3", "301235004"};
    for (auto _ : state) {
        for (std::string_view text : kTexts) {
            benchmark::DoNotOptimize(lenientInteger(text));
        }
    }
    state.SetItemsProcessed(state.iterations() * kTexts.size());
}
BENCHMARK(convertingIntegers);

void convertingReals(benchmark::State& state) {
    constexpr std::array<std::string_view, 4> kTexts = {"0.70", "25.20", "0", "115.00"};
    for (auto _ : state) {
        for (std::string_view text : kTexts) {
            benchmark::DoNotOptimize(lenientReal(text));
        }
    }
    state.SetItemsProcessed(state.iterations() * kTexts.size());
}
BENCHMARK(convertingReals);

void parsingDates(benchmark::State& state) {
    setenv("TZ", "America/New_York", 1);
    DateMemo memo;
    constexpr std::array<std::string_view, 4> kTexts = {"07/06/2008", "07/12/2008", "20081102",
                                                        "20081108"};
    for (auto _ : state) {
        for (std::string_view text : kTexts) {
            benchmark::DoNotOptimize(parseDate(text, memo));
        }
    }
    state.SetItemsProcessed(state.iterations() * kTexts.size());
}
BENCHMARK(parsingDates);

// Days met for the first time: every day of 1970 to 2099 in turn, each one
// past the remembered days, so every text is converted by the calendar.
void convertingNewDays(benchmark::State& state) {
    setenv("TZ", "America/New_York", 1);
    std::vector<std::string> texts;
    for (int year = 1970; year < 2100; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= 28; ++day) {
                char text[16];
                std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
                texts.emplace_back(text);
            }
        }
    }
    for (auto _ : state) {
        DateMemo memo;
        for (const std::string& text : texts) {
            benchmark::DoNotOptimize(parseDate(text, memo));
        }
    }
    state.SetItemsProcessed(state.iterations() * texts.size());
}
BENCHMARK(convertingNewDays)->Unit(benchmark::kMillisecond);

// A report of 100,000 lines of 48 applications, 16 countries and 12
// currencies in a fixed pseudo-random order, as a large report holds them,
// read as a run reads it: listed (-v) when the argument is 0, summed only
// otherwise. The file is written once, to the temporary directory.
void readingReports(benchmark::State& state) {
    constexpr int kLines = 100000;
    static const std::string path = [] {
        std::string text = "header\n";
        unsigned seed = 12345;
        for (int i = 0; i < kLines; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += "STORE\tUS\t1004\t \t \tTiny Comet\tApplication " + std::to_string(seed % 48) +
                    "\t \t" + (seed % 8 == 0 ? "7" : "1") + "\t" + std::to_string(seed % 60) +
                    "\t0.70\t07/06/2008\t07/12/2008\tMXN\t" +
                    std::string(1, static_cast<char>('A' + seed / 48 % 16)) + "X\tC" +
                    std::to_string(seed / 768 % 12) + "X\t \t \t \t301235004\t36.00\t \t \r\n";
        }
        std::string name = "/tmp/salesum-micro-bench-XXXXXX";
        int descriptor = mkstemp(name.data());
        std::FILE* file = fdopen(descriptor, "wb");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
        return name;
    }();
    setenv("TZ", "America/New_York", 1);
    const bool summaryOnly = state.range(0) != 0;
    for (auto _ : state) {
        AppRecords appRecords;
        Diagnostics diagnostics;
        ReadOptions options;
        options.summaryOnly = summaryOnly;
        readSalesReport(path.c_str(), appRecords, *startReading(options), diagnostics);
        benchmark::DoNotOptimize(appRecords.size());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(readingReports)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
