#pragma once

#include <memory>

namespace quillrun::bench {

// What the statistics window's figures need while the benchmarks run: a Qt application on the
// offscreen platform. Where the window is not built, nothing.
class WindowPlatform {
  public:
    WindowPlatform(int& argc, char** argv);
    ~WindowPlatform();
    WindowPlatform(const WindowPlatform&) = delete;
    WindowPlatform& operator=(const WindowPlatform&) = delete;

    // Whether this build measures the statistics window at all.
    static bool WindowBuilt();

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace quillrun::bench
