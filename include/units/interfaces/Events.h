// The event contract: handlers subscribe to an event and are called, in subscription order and on
// the raising thread, each time the event is raised. The service library implements it
// (units/service/Event.h).
#pragma once

#include <cstddef>
#include <functional>

namespace Orv::Pim::Core::Service {

/// Base class of every event argument.
class DelegateArgs {
public:
    DelegateArgs() = default;
    DelegateArgs(const DelegateArgs&) = default;
    DelegateArgs& operator=(const DelegateArgs&) = default;
    virtual ~DelegateArgs() = default;
};

/// An ordered list of handlers taking a `DelegateArgs*`, called by `Raise`.
class IDelegate {
public:
    using Handler = std::function<void(DelegateArgs*)>;

    virtual ~IDelegate() = default;
    /// Calls every handler with `args`, in subscription order. A handler's exception stops the
    /// raise and reaches the caller.
    virtual void Raise(DelegateArgs* args) = 0;
    /// Adds a handler; returns its token.
    virtual std::size_t SubscribeHandler(Handler handler) = 0;
    /// Removes the handler of `token`; returns whether there was one.
    virtual bool Unsubscribe(std::size_t token) = 0;
    /// Number of handlers subscribed.
    virtual std::size_t HandlerCount() const = 0;

protected:
    IDelegate() = default;
    IDelegate(const IDelegate&) = default;
    IDelegate& operator=(const IDelegate&) = default;
};

} // namespace Orv::Pim::Core::Service
