#include <units/service/Event.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <stdexcept>
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
void RaiseWith(Event<Change>& event, int value = 0) {
    Change change(value);
    static_cast<DelegateBase&>(event).Raise(&change);
}

class EventTest : public testing::Test {
protected:
    // Subscribes a handler that notes `mark` in `calls`, or the value raised when `mark` is 0.
    std::size_t Note(int mark) {
        return event.Subscribe(
            [this, mark](const Change& c) { calls.push_back(mark != 0 ? mark : c.value); });
    }

    Event<Change> event;
    std::vector<int> calls;
};

TEST_F(EventTest, CallsHandlersInSubscriptionOrderAndRemovesOnlyTheTokensHandlerOnce) {
    const std::size_t first = Note(1);
    Note(0);
    Note(3);
    RaiseWith(event, 7);
    EXPECT_EQ(calls, (std::vector<int>{1, 7, 3}));

    EXPECT_TRUE(event.Unsubscribe(first));
    EXPECT_FALSE(event.Unsubscribe(first));
    // A reused token would let a stale Unsubscribe remove someone else's handler.
    const std::size_t fourth = Note(4);
    EXPECT_FALSE(event.Unsubscribe(first));
    EXPECT_TRUE(event.Unsubscribe(fourth));
    Note(5);
    calls.clear();
    RaiseWith(event, 7);
    EXPECT_EQ(calls, (std::vector<int>{7, 3, 5}));
}

TEST_F(EventTest, AThrowingHandlerStopsTheRaiseAndLeavesTheEventUsable) {
    bool fail = true;
    Note(1);
    event.Subscribe([&](const Change&) {
        if (fail) {
            throw std::runtime_error("handler failed");
        }
        calls.push_back(2);
    });
    Note(3);

    EXPECT_THROW(RaiseWith(event), std::runtime_error);
    EXPECT_EQ(calls, std::vector<int>{1});

    fail = false;
    calls.clear();
    RaiseWith(event);
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
}

// Handlers subscribed during a raise run from the next raise; enough of them are subscribed to
// make the handler list grow while the subscribing handler runs.
TEST_F(EventTest, HandlersMayUnsubscribeAndSubscribeDuringARaise) {
    std::size_t self = 0;
    std::size_t later = 0;
    Note(1);
    self = event.Subscribe([&](const Change&) {
        calls.push_back(2);
        EXPECT_TRUE(event.Unsubscribe(self));
        EXPECT_TRUE(event.Unsubscribe(later));
        for (int i = 0; i < 64; ++i) {
            Note(100 + i);
        }
    });
    Note(3);
    later = Note(4);

    RaiseWith(event);
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(event.HandlerCount(), 66u);

    calls.clear();
    RaiseWith(event);
    ASSERT_EQ(calls.size(), 66u);
    EXPECT_EQ(calls[1], 3);
    EXPECT_EQ(calls.back(), 163);
}

TEST_F(EventTest, NestedRaisesDeliverTheirOwnArgumentAndRemovalsApplyToTheOuterRaise) {
    std::size_t last = 0;
    event.Subscribe([&](const Change& c) {
        calls.push_back(c.value);
        if (c.value < 3) {
            RaiseWith(event, c.value + 1);
        } else {
            event.Unsubscribe(last);
        }
    });
    last = Note(-1);

    RaiseWith(event, 1);
    // The innermost raise removed the second handler before any raise reached it.
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(event.HandlerCount(), 1u);
}

TEST_F(EventTest, CopiesHaveTheSameHandlersAndTokensButAreIndependent) {
    const std::size_t first = Note(1);
    Note(2);
    Event<Change> copy(event);
    Event<Change> assigned;
    assigned.Subscribe([&](const Change&) { calls.push_back(9); });
    assigned = event;
    for (Event<Change>* other : {&copy, &assigned}) {
        // A handler subscribed later must not take a token that a copied one holds.
        EXPECT_TRUE(other->Unsubscribe(other->Subscribe([](const Change&) {})));
        RaiseWith(*other);
    }

    EXPECT_TRUE(copy.Unsubscribe(first));
    RaiseWith(copy);
    RaiseWith(event);
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 1, 2, 2, 1, 2}));
}

} // namespace
