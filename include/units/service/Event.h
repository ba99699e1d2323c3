// The service library's events: `DelegateBase` keeps the handlers of an event, and `Event<T>`
// hands each handler a `const T&`.
#pragma once

#include <units/interfaces/Events.h>
#include <units/service/ServiceExport.h>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace Orv::Pim::Core::Service {

/// Base of events: an ordered list of handlers taking a `DelegateArgs*`.
class ORV_SERVICE_API DelegateBase : public IDelegate {
public:
    DelegateBase();
    /// Copies the handlers and their tokens.
    DelegateBase(const DelegateBase& other);
    DelegateBase& operator=(const DelegateBase& other);
    ~DelegateBase() override;

    /// Calls every handler with `args`, in subscription order. A handler's exception stops the
    /// raise and reaches the caller. Handlers added during a raise run from the next raise on;
    /// handlers removed during a raise are not called after their removal.
    void Raise(DelegateArgs* args) override;
    /// Adds a handler; returns its token.
    std::size_t SubscribeHandler(Handler handler) override;
    /// Removes the handler of `token`; returns whether there was one.
    bool Unsubscribe(std::size_t token) override;
    /// Number of handlers subscribed.
    std::size_t HandlerCount() const override;

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
