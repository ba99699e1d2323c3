// Handler lists of events. A raise walks the list by index over the handlers present when it
// started; removals during a raise only mark their entry (token 0), and the list is compacted
// once the outermost raise has ended, so indices held by running raises stay valid.
#include <units/service/Event.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace Orv::Pim::Core::Service {

namespace {

// Token of an entry removed while a raise was running; real tokens start at 1.
constexpr std::size_t kRemoved = 0;

// The entries of `handlers` that are not marked removed: what a copy of the event takes over.
template <typename Entries>
Entries Live(const Entries& handlers) {
    Entries live;
    std::copy_if(handlers.begin(), handlers.end(), std::back_inserter(live),
                 [](const auto& entry) { return entry.token != kRemoved; });
    return live;
}

} // namespace

DelegateBase::DelegateBase() : m_nextToken(1), m_raiseDepth(0), m_pendingRemoval(false) {}

DelegateBase::DelegateBase(const DelegateBase& other)
    : m_handlers(Live(other.m_handlers)), m_nextToken(other.m_nextToken), m_raiseDepth(0),
      m_pendingRemoval(false) {}

DelegateBase& DelegateBase::operator=(const DelegateBase& other) {
    if (this == &other) {
        return *this;
    }
    m_handlers = Live(other.m_handlers);
    m_nextToken = std::max(m_nextToken, other.m_nextToken);
    // A raise of this event may be running (a handler assigned to it); it keeps its depth and
    // stops at the end of the new, already compact, list.
    m_pendingRemoval = false;
    return *this;
}

DelegateBase::~DelegateBase() = default;

void DelegateBase::Raise(DelegateArgs* args) {
    // Restores the depth and compacts the list however the raise ends, so that an event whose
    // handler threw can be raised again.
    struct DepthGuard {
        DelegateBase& event;
        explicit DepthGuard(DelegateBase& e) : event(e) { ++event.m_raiseDepth; }
        ~DepthGuard() {
            if (--event.m_raiseDepth == 0 && event.m_pendingRemoval) {
                event.Compact();
            }
        }
        DepthGuard(const DepthGuard&) = delete;
        DepthGuard& operator=(const DepthGuard&) = delete;
    } guard(*this);

    const std::size_t count = m_handlers.size();
    for (std::size_t i = 0; i < count && i < m_handlers.size(); ++i) {
        if (m_handlers[i].token == kRemoved || !m_handlers[i].handler) {
            continue;
        }
        // Called through a copy: the handler may subscribe, which can move the list's storage
        // while the handler is still running.
        Handler handler = m_handlers[i].handler;
        handler(args);
    }
}

std::size_t DelegateBase::SubscribeHandler(Handler handler) {
    const std::size_t token = m_nextToken++;
    m_handlers.push_back(Entry{token, std::move(handler)});
    return token;
}

bool DelegateBase::Unsubscribe(std::size_t token) {
    if (token == kRemoved) {
        return false;
    }
    auto it = std::find_if(m_handlers.begin(), m_handlers.end(),
                           [token](const Entry& entry) { return entry.token == token; });
    if (it == m_handlers.end()) {
        return false;
    }
    if (m_raiseDepth > 0) {
        // Keep the slot so that running raises keep their positions; drop the handler now so
        // that what it captured is released as early as possible.
        it->token = kRemoved;
        it->handler = nullptr;
        m_pendingRemoval = true;
    } else {
        m_handlers.erase(it);
    }
    return true;
}

std::size_t DelegateBase::HandlerCount() const {
    return static_cast<std::size_t>(
        std::count_if(m_handlers.begin(), m_handlers.end(),
                      [](const Entry& entry) { return entry.token != kRemoved; }));
}

void DelegateBase::Compact() {
    m_handlers.erase(std::remove_if(m_handlers.begin(), m_handlers.end(),
                                    [](const Entry& entry) { return entry.token == kRemoved; }),
                     m_handlers.end());
    m_pendingRemoval = false;
}

} // namespace Orv::Pim::Core::Service
