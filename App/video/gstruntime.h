#pragma once

#include <functional>

// GStreamer for the console: initialised once, on a control thread before the first pipeline
// (a console without cameras never loads it), and shut down after the last. Pipelines are
// built, started and torn down on a small pool of control threads, so that no state change
// (which may wait for a network or a decoder) ever runs on the GUI thread. The executable keeps
// one object of this class in main, whose end shuts GStreamer down; tests and benchmarks call
// shutdown() themselves.
class GstRuntime
{
public:
    // Control threads: teardowns that wait for a silent camera must not hold up the others.
    static constexpr int ControlThreads = 4;

    GstRuntime() = default;
    ~GstRuntime();

    // gst_init, once per process; any thread.
    static void ensureInitialised();
    // Runs the task on a control thread.
    static void run(std::function<void()> task);
    // Waits until every task given to run() has finished.
    static void waitForIdle();
    // Waits for the control threads and releases GStreamer's global state. No pipeline may be
    // made afterwards.
    static void shutdown();

private:
    GstRuntime(const GstRuntime &) = delete;
    GstRuntime &operator=(const GstRuntime &) = delete;
};
