#include <units/interfaces/Events.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Orv::Pim::Core::Service::DelegateArgs;
using Orv::Pim::Core::Service::DelegateBase;
using Orv::Pim::Core::Service::Event;

struct Change : DelegateArgs {
    explicit Change(int v) : value(v) {}
    int value;
};

// Raises `event` the way the library does: through the base class, with a pointer.
void RaiseWith(Event<Change>& event, int value) {
    Change change(value);
    DelegateBase& base = event;
    base.Raise(&change);
}

TEST(Event, CallsHandlersInSubscriptionOrderWithTheArgument) {
    Event<Change> event;
    std::vector<std::string> calls;
    event.Subscribe([&](const Change& c) { calls.push_back("a" + std::to_string(c.value)); });
    event.Subscribe([&](const Change& c) { calls.push_back("b" + std::to_string(c.value)); });
    event.Subscribe([&](const Change& c) { calls.push_back("c" + std::to_string(c.value)); });

    RaiseWith(event, 7);

    EXPECT_EQ(calls, (std::vector<std::string>{"a7", "b7", "c7"}));
}

TEST(Event, UnsubscribeRemovesOnlyTheHandlerOfTheTokenAndOnlyOnce) {
    Event<Change> event;
    std::vector<int> calls;
    const std::size_t first = event.Subscribe([&](const Change&) { calls.push_back(1); });
    const std::size_t second = event.Subscribe([&](const Change&) { calls.push_back(2); });
    EXPECT_NE(first, second);

    EXPECT_TRUE(event.Unsubscribe(first));
    EXPECT_FALSE(event.Unsubscribe(first));
    EXPECT_FALSE(event.Unsubscribe(second + 100));
    RaiseWith(event, 0);

    EXPECT_EQ(calls, std::vector<int>{2});
    EXPECT_EQ(event.HandlerCount(), 1u);

    // A reused token would let a stale Unsubscribe remove someone else's handler.
    const std::size_t third = event.Subscribe([](const Change&) {});
    EXPECT_NE(third, first);
    EXPECT_FALSE(event.Unsubscribe(first));
}

TEST(Event, ThrowingHandlerStopsTheRaiseAndLeavesTheEventUsable) {
    Event<Change> event;
    std::vector<int> calls;
    bool fail = true;
    event.Subscribe([&](const Change&) { calls.push_back(1); });
    event.Subscribe([&](const Change&) {
        if (fail) {
            throw std::runtime_error("handler failed");
        }
        calls.push_back(2);
    });
    event.Subscribe([&](const Change&) { calls.push_back(3); });

    EXPECT_THROW(RaiseWith(event, 0), std::runtime_error);
    EXPECT_EQ(calls, std::vector<int>{1});

    // After the throw the event is no longer "raising": removal is immediate again and the
    // next raise calls everybody.
    fail = false;
    calls.clear();
    const std::size_t extra = event.Subscribe([&](const Change&) { calls.push_back(4); });
    EXPECT_TRUE(event.Unsubscribe(extra));
    EXPECT_EQ(event.HandlerCount(), 3u);
    RaiseWith(event, 0);
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
}

TEST(Event, HandlerMayUnsubscribeItselfAndOthersDuringARaise) {
    Event<Change> event;
    std::vector<int> calls;
    std::size_t self = 0;
    std::size_t later = 0;
    event.Subscribe([&](const Change&) { calls.push_back(1); });
    self = event.Subscribe([&](const Change&) {
        calls.push_back(2);
        EXPECT_TRUE(event.Unsubscribe(self));
        EXPECT_TRUE(event.Unsubscribe(later));
    });
    event.Subscribe([&](const Change&) { calls.push_back(3); });
    later = event.Subscribe([&](const Change&) { calls.push_back(4); });

    RaiseWith(event, 0);
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(event.HandlerCount(), 2u);

    calls.clear();
    RaiseWith(event, 0);
    EXPECT_EQ(calls, (std::vector<int>{1, 3}));
}

TEST(Event, HandlersSubscribedDuringARaiseRunFromTheNextRaise) {
    Event<Change> event;
    std::vector<int> calls;
    // Enough subscriptions to force the handler list to grow while the subscriber runs.
    event.Subscribe([&](const Change& c) {
        calls.push_back(c.value);
        if (c.value == 1) {
            for (int i = 0; i < 64; ++i) {
                event.Subscribe([&calls, i](const Change&) { calls.push_back(100 + i); });
            }
        }
    });

    RaiseWith(event, 1);
    EXPECT_EQ(calls, std::vector<int>{1});
    EXPECT_EQ(event.HandlerCount(), 65u);

    calls.clear();
    RaiseWith(event, 2);
    ASSERT_EQ(calls.size(), 65u);
    EXPECT_EQ(calls.front(), 2);
    EXPECT_EQ(calls.back(), 163);
}

TEST(Event, NestedRaisesDeliverTheirOwnArgumentAndRemovalsApplyToTheOuterRaise) {
    Event<Change> event;
    std::vector<int> calls;
    std::size_t last = 0;
    event.Subscribe([&](const Change& c) {
        calls.push_back(c.value);
        if (c.value < 3) {
            RaiseWith(event, c.value + 1);
        }
        if (c.value == 3) {
            event.Unsubscribe(last);
        }
    });
    last = event.Subscribe([&](const Change& c) { calls.push_back(-c.value); });

    RaiseWith(event, 1);
    // The innermost raise removed the second handler before any raise reached it.
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(event.HandlerCount(), 1u);
}

TEST(Event, CopyHasTheSameHandlersAndTokensButIsIndependent) {
    Event<Change> original;
    std::vector<int> calls;
    const std::size_t a = original.Subscribe([&](const Change&) { calls.push_back(1); });
    original.Subscribe([&](const Change&) { calls.push_back(2); });

    Event<Change> copy(original);
    EXPECT_TRUE(copy.Unsubscribe(a));
    RaiseWith(copy, 0);
    RaiseWith(original, 0);
    EXPECT_EQ(calls, (std::vector<int>{2, 1, 2}));

    Event<Change> assigned;
    assigned.Subscribe([&](const Change&) { calls.push_back(9); });
    assigned = original;
    calls.clear();
    RaiseWith(assigned, 0);
    EXPECT_EQ(calls, (std::vector<int>{1, 2}));
    // A handler subscribed after the assignment must not take a token the copied ones hold.
    const std::size_t fresh = assigned.Subscribe([](const Change&) {});
    EXPECT_TRUE(assigned.Unsubscribe(fresh));
    EXPECT_TRUE(assigned.Unsubscribe(a));
}

} // namespace
