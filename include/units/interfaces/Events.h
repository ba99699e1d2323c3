// Events: handlers subscribe to an `Event<T>` and are called, in subscription order and on the
// raising thread, each time the event is raised with a `T`.
#pragma once

#include <units/Export.h>

#include <cstddef>
#include <functional>
#include <vector>

namespace Orv::Pim::Core::Service {

/// Base class of every event argument.
class ORV_SERVICE_API DelegateArgs {
public:
    DelegateArgs() = default;
    DelegateArgs(const DelegateArgs&) = default;
    DelegateArgs& operator=(const DelegateArgs&) = default;
    virtual ~DelegateArgs();
};

/// Base of events: an ordered list of handlers taking a `DelegateArgs*`.
class ORV_SERVICE_API DelegateBase {
public:
    using Handler = std::function<void(DelegateArgs*)>;

    DelegateBase();
    /// Copies the handlers and their tokens.
    DelegateBase(const DelegateBase& other);
    DelegateBase& operator=(const DelegateBase& other);
    virtual ~DelegateBase();

    /// Calls every handler with `args`, in subscription order. A handler's exception stops the
    /// raise and reaches the caller. Handlers added during a raise run from the next raise on;
    /// handlers removed during a raise are not called after their removal.
    virtual void Raise(DelegateArgs* args);
    /// Adds a handler; returns its token.
    std::size_t SubscribeHandler(Handler handler);
    /// Removes the handler of `token`; returns whether there was one.
    bool Unsubscribe(std::size_t token);
    /// Number of handlers subscribed.
    std::size_t HandlerCount() const;

private:
    struct Entry {
        std::size_t token;
        Handler handler;
    };
    void Compact();

    std::vector<Entry> m_handlers;
    std::size_t m_nextToken;
    int m_raiseDepth;
    bool m_pendingRemoval;
};

/// An event whose handlers receive a `const T&`; raise it with a pointer to a `T`.
template <typename T>
class Event : public DelegateBase {
public:
    /// Adds a handler; returns the token that `Unsubscribe` takes.
    std::size_t Subscribe(std::function<void(const T&)> handler) {
        return SubscribeHandler([handler = std::move(handler)](DelegateArgs* args) {
            handler(*static_cast<const T*>(args));
        });
    }
};

} // namespace Orv::Pim::Core::Service
