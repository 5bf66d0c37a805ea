// Microbenchmarks of the pure steps of a run: decoding detector output,
// reading a detector line, the quoted form of a path and temporary names.

#include <benchmark/benchmark.h>

#include <string>

#include "detection.hpp"
#include "quote.hpp"
#include "random.hpp"
#include "temp_file.hpp"
#include "utf8.hpp"

namespace {

// What the detector prints on a machine with three managers.
const std::string TYPICAL_OUTPUT = "/usr/bin/flatpak\n/usr/bin/apt\n/usr/bin/snap\n";
// Mixed scripts, invalid bytes and a surrogate encoding: the slow paths.
const std::string HOSTILE_OUTPUT =
    "/opt/\xe6\x97\xa5\xe6\x9c\xac/\xff\xfe/bin/\xed\xa0\x80pacman\r\n"
    "  /usr/bin/apt \xe2\x80\x8b\n/home/\xc3\xa9t\xc3\xa9/\xc0\xaf/dnf\n";

void decode_typical_output(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(sorvane::to_plain(TYPICAL_OUTPUT));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(TYPICAL_OUTPUT.size()));
}
BENCHMARK(decode_typical_output);

void decode_hostile_output(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(sorvane::to_plain(HOSTILE_OUTPUT));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(HOSTILE_OUTPUT.size()));
}
BENCHMARK(decode_hostile_output);

void name_in_detector_line(benchmark::State& state) {
  const std::string line = "  /usr/local/bin/flatpak \t";
  for (auto _ : state) benchmark::DoNotOptimize(sorvane::name_in_detector_line(line));
}
BENCHMARK(name_in_detector_line);

void name_in_rejected_line(benchmark::State& state) {
  const std::string line = "/usr/bin/apt-get";
  for (auto _ : state) benchmark::DoNotOptimize(sorvane::name_in_detector_line(line));
}
BENCHMARK(name_in_rejected_line);

void quote_plain_path(benchmark::State& state) {
  const std::string path = "/home/user/.local/share/sorvane/scripts/.update-script-a8Zq0x";
  for (auto _ : state) benchmark::DoNotOptimize(sorvane::quote_path(path));
}
BENCHMARK(quote_plain_path);

void quote_hostile_path(benchmark::State& state) {
  const std::string path = "/tmp/a\"b\\c\td\ne\xff/\xe2\x80\x8b\xcc\x81/\xef\xbf\xbe/x";
  for (auto _ : state) benchmark::DoNotOptimize(sorvane::quote_path(path));
}
BENCHMARK(quote_hostile_path);

void temporary_name(benchmark::State& state) {
  sorvane::Wyrand generator(0x5eed);
  for (auto _ : state) {
    benchmark::DoNotOptimize(sorvane::tmpname(generator, sorvane::TEMP_FILE_PREFIX,
                                              sorvane::TEMP_FILE_SUFFIX, sorvane::TEMP_RANDOM_LEN));
  }
}
BENCHMARK(temporary_name);

}  // namespace

BENCHMARK_MAIN();
