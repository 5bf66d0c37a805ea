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

void decode_output(benchmark::State& state, const std::string& output) {
  for (auto _ : state) benchmark::DoNotOptimize(sorvane::to_plain(output));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(output.size()));
}
BENCHMARK_CAPTURE(decode_output, typical, TYPICAL_OUTPUT);
BENCHMARK_CAPTURE(decode_output, hostile, HOSTILE_OUTPUT);

void name_in_detector_line(benchmark::State& state, const std::string& line) {
  for (auto _ : state) benchmark::DoNotOptimize(sorvane::name_in_detector_line(line));
}
BENCHMARK_CAPTURE(name_in_detector_line, accepted, std::string("  /usr/local/bin/flatpak \t"));
BENCHMARK_CAPTURE(name_in_detector_line, rejected, std::string("/usr/bin/apt-get"));

void quote_path(benchmark::State& state, const std::string& path) {
  for (auto _ : state) benchmark::DoNotOptimize(sorvane::quote_path(path));
}
BENCHMARK_CAPTURE(quote_path, plain,
                  std::string("/home/user/.local/share/sorvane/scripts/.update-script-a8Zq0x"));
BENCHMARK_CAPTURE(quote_path, hostile,
                  std::string("/tmp/a\"b\\c\td\ne\xff/\xe2\x80\x8b\xcc\x81/\xef\xbf\xbe/x"));

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
