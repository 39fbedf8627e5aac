#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// Calls into a MIDI or audio service that may never answer: a JACK or sound server that is alive
// but stopped keeps its client library waiting for good. Each call runs on a thread of its own and
// is waited for `AnswerTime` at most. A call that has not returned by then is abandoned: the
// service counts as absent, the call finishes on its own thread and its result is destroyed
// there, and until it has finished every further call to the same service fails at once (the
// client library may hold a lock of its own meanwhile).
namespace ServiceCall {

inline constexpr std::chrono::milliseconds AnswerTime { 2000 };

namespace detail {
[[nodiscard]] bool runBounded(
    const std::string& service, std::function<void()> body, std::chrono::milliseconds limit);
} // namespace detail

// The result of `work`, or nothing when `service` did not answer in time. `work` may outlive the
// caller, so it must hold what it uses by value.
template <typename T>
[[nodiscard]] std::optional<T> run(const std::string& service, std::function<T()> work,
    std::chrono::milliseconds limit = AnswerTime)
{
    auto result = std::make_shared<std::optional<T>>();
    if (!detail::runBounded(
            service, [result, work = std::move(work)] { *result = work(); }, limit))
        return std::nullopt;
    return std::move(*result);
}

// True while a call to `service` is abandoned and still running.
[[nodiscard]] bool isStuck(const std::string& service);
// True while any abandoned call is still running. The process must then end without the client
// libraries' own exit code, which may wait for that call.
[[nodiscard]] bool anyStuck();

} // namespace ServiceCall
