// The peak resident memory of this process, as the kernel counts it
// ("123456 kB"), for the window's benchmarks.
#pragma once

#include <QByteArray>
#include <QFile>

inline QByteArray peak_memory() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return "?";
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed();
  }
  return "?";
}
