// The metrics file node_exporter's textfile collector reads, replaced the
// way its own guide asks: written whole to a temporary file in the same
// directory, synced, then renamed over the old one, so the collector never
// reads half a file. The temporary name does not end in .prom, so the
// collector never reads it either.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "result.hpp"

namespace sorvane::gui {

// Readable by node_exporter, which runs as a user of its own.
inline constexpr mode_t METRICS_FILE_MODE = 0644;
inline constexpr std::string_view METRICS_TEMP_PREFIX = ".sorvane.prom.";

enum class MetricsWritten : std::uint8_t {
  Written,
  // Its directory is not there: no node_exporter here to read it, and
  // none is made for it.
  NoDirectory,
};

// `path` is absolute; the error says what failed, for the service's log.
Result<MetricsWritten, std::string> write_metrics_file(const std::string& path,
                                                       std::string_view contents);

}  // namespace sorvane::gui
