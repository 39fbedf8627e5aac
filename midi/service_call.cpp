#include "midi/service_call.h"

#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

namespace {

// One call in flight, shared by the caller and the call's thread.
struct Call
{
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
};

// The services with an abandoned call still running.
std::mutex g_stuckMutex;
std::set<std::string, std::less<>> g_stuck;

} // namespace

bool ServiceCall::detail::runBounded(
    const std::string& service, std::function<void()> body, std::chrono::milliseconds limit)
{
    if (isStuck(service))
        return false;
    auto call = std::make_shared<Call>();
    std::thread([call, service, body = std::move(body)] {
        body();
        const std::lock_guard lock(call->mutex);
        call->done = true;
        call->finished.notify_all();
        if (call->abandoned) {
            const std::lock_guard stuckLock(g_stuckMutex);
            g_stuck.erase(service);
        }
    }).detach();

    std::unique_lock lock(call->mutex);
    if (call->finished.wait_for(lock, limit, [&call] { return call->done; }))
        return true;
    call->abandoned = true;
    const std::lock_guard stuckLock(g_stuckMutex);
    g_stuck.insert(service);
    return false;
}

bool ServiceCall::isStuck(const std::string& service)
{
    const std::lock_guard lock(g_stuckMutex);
    return g_stuck.contains(service);
}

bool ServiceCall::anyStuck()
{
    const std::lock_guard lock(g_stuckMutex);
    return !g_stuck.empty();
}
