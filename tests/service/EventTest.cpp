// Events of the service library: handlers run in subscription order on the raising thread, and
// tokens stay unique for an event's life.
#include <units/service/Event.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <stdexcept>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service;

struct Change : DelegateArgs {
    explicit Change(int v) : value(v) {}
    int value;
};

class EventTest : public testing::Test {
protected:
    // Raises `on` the way the library does: through the base class, with a pointer.
    static void Raise(Event<Change>& on, int value = 0) {
        Change change(value);
        static_cast<DelegateBase&>(on).Raise(&change);
    }
    // Subscribes a handler that notes `mark` in `calls`, or the value raised when `mark` is 0.
    std::size_t Note(int mark) {
        return event.Subscribe(
            [this, mark](const Change& c) { calls.push_back(mark != 0 ? mark : c.value); });
    }

    Event<Change> event;
    std::vector<int> calls;
};

// A reused token would let a stale Unsubscribe remove someone else's handler.
TEST_F(EventTest, CallsHandlersInSubscriptionOrderAndRemovesOnlyTheTokensHandlerOnce) {
    const std::size_t first = Note(1);
    Note(0);
    EXPECT_TRUE(event.Unsubscribe(first));
    EXPECT_FALSE(event.Unsubscribe(first));
    Note(3);
    EXPECT_FALSE(event.Unsubscribe(first));
    Note(4);
    Raise(event, 7);
    EXPECT_EQ(calls, (std::vector<int>{7, 3, 4}));
}

TEST_F(EventTest, AThrowingHandlerStopsTheRaiseAndLeavesTheEventUsable) {
    Note(1);
    const std::size_t throwing =
        event.Subscribe([](const Change&) { throw std::runtime_error("handler failed"); });
    Note(3);

    EXPECT_THROW(Raise(event), std::runtime_error);
    event.Unsubscribe(throwing);
    Raise(event);
    EXPECT_EQ(calls, (std::vector<int>{1, 1, 3}));
}

// Handlers subscribed during a raise run from the next raise; enough of them are subscribed to
// make the handler list grow while the subscribing handler runs.
TEST_F(EventTest, HandlersMayUnsubscribeAndSubscribeDuringARaise) {
    std::size_t self = 0, later = 0;
    Note(1);
    self = event.Subscribe([&](const Change&) {
        calls.push_back(2);
        EXPECT_TRUE(event.Unsubscribe(self) && event.Unsubscribe(later));
        for (int i = 0; i < 64; ++i) {
            Note(100 + i);
        }
    });
    Note(3);
    later = Note(4);

    Raise(event);
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
    calls.clear();
    Raise(event);
    ASSERT_EQ(calls.size(), 66u);
    EXPECT_EQ(calls[1], 3);
    EXPECT_EQ(calls.back(), 163);
}

// The innermost raise removes the second handler before any raise reaches it.
TEST_F(EventTest, NestedRaisesDeliverTheirOwnArgumentAndRemovalsApplyToTheOuterRaise) {
    std::size_t last = 0;
    event.Subscribe([&](const Change& c) {
        calls.push_back(c.value);
        if (c.value < 3) {
            Raise(event, c.value + 1);
        } else {
            event.Unsubscribe(last);
        }
    });
    last = Note(-1);

    Raise(event, 1);
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
}

} // namespace
