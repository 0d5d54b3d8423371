#pragma once

#include <functional>

class QWidget;

/// Runs `action` once, right after `window` has painted for the first time (or after
/// `fallbackMs` if it never paints), so that work not needed for the first frame does not
/// delay it.
void afterFirstPaint(QWidget* window, std::function<void()> action, int fallbackMs = 1000);

/// For the start-up benchmark: with MIREVO_BENCH_T0 set to the launch time (nanoseconds since
/// the epoch), the first time `window` paints, one line goes to standard error:
/// "first-frame-ms <ms since launch> peak-kib <peak resident memory>".
void reportFirstFrame(QWidget* window);

/// For the start-up benchmark, with MIREVO_BENCH_T0 set: "phase <name> <ms since launch>" on
/// standard error.
void reportStartupPhase(const char* name);
