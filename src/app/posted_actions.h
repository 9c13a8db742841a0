#pragma once

#include <functional>
#include <mutex>
#include <vector>

namespace quillrun::app {

// Actions that other threads hand to one thread, run there in the order they were handed over.
class PostedActions {
  public:
    // From any thread. True when nothing was waiting before: the running thread then needs a
    // wake-up, which one already on its way would otherwise be.
    bool Post(std::function<void()> action) {
        const std::lock_guard lock(m_mutex);
        m_actions.push_back(std::move(action));
        return m_actions.size() == 1;
    }

    // On the running thread: runs everything handed over so far, outside the lock, so that an
    // action may hand over more.
    void RunAll() {
        std::vector<std::function<void()>> actions;
        {
            const std::lock_guard lock(m_mutex);
            actions.swap(m_actions);
        }
        for (std::function<void()>& action : actions) {
            action();
        }
    }

  private:
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_actions;
};

}  // namespace quillrun::app
