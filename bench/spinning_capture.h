#pragma once
// The capture loop as first written, kept only as the benchmark's reference: it never sleeps,
// peeking and asking for the exit code until that code is no longer 259.
#include <string>

namespace tunlatch::bench {

std::string SpinningRunCaptured(const std::string& commandLine, bool hideWindow);

}  // namespace tunlatch::bench
