#include "common/WorkerQueue.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <latch>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Item = std::vector<int>;
using Queue = common::WorkerQueue<Item>;

void Empty(Item& item) {
    item.clear();
}

// Hands over an item holding `value`; gives back what the queue left in its place.
Item HandValue(Queue& queue, int value) {
    Item item{value};
    queue.hand(item);
    return item;
}

TEST(WorkerQueue, ConsumesTheItemsInTheOrderHandedOverAndGivesBackEmptyOnes) {
    std::vector<int> consumed;
    Queue queue(
        3, [&](Item& item) { consumed.insert(consumed.end(), item.begin(), item.end()); }, Empty);
    std::vector<int> expected;
    for (int value = 0; value < 200; ++value) {
        EXPECT_TRUE(HandValue(queue, value).empty());
        expected.push_back(value);
    }
    queue.finish();
    EXPECT_EQ(consumed, expected);
}

TEST(WorkerQueue, GivesBackAConsumedItemWithItsRoom) {
    Queue queue(
        1, [](Item&) {}, Empty);
    Item first(1000, 7);
    const int* const room = first.data();
    queue.hand(first);
    Item second(10, 8);
    queue.hand(second); // waits for the first to be consumed, then gives it back
    EXPECT_TRUE(second.empty());
    EXPECT_EQ(second.data(), room);
    queue.finish();
}

// An error of the consumer comes back once, from the next hand-over or from finish; the item
// refused stays with the producer, and what is handed over afterwards is consumed.
TEST(WorkerQueue, AnErrorOfTheConsumerComesBackOnce) {
    enum class Reported { ByNextHand, ByFinish };
    for (const Reported reported : {Reported::ByNextHand, Reported::ByFinish}) {
        SCOPED_TRACE(static_cast<int>(reported));
        std::vector<int> consumed;
        Queue queue(
            1,
            [&](Item& item) {
                if (item.front() == 2) {
                    throw std::runtime_error("item 2 failed");
                }
                consumed.push_back(item.front());
            },
            Empty);
        HandValue(queue, 1);
        HandValue(queue, 2);
        try {
            if (reported == Reported::ByNextHand) {
                Item refused{3};
                try {
                    queue.hand(refused);
                } catch (...) {
                    EXPECT_EQ(refused, Item{3});
                    throw;
                }
            } else {
                queue.finish();
            }
            ADD_FAILURE() << "the error did not come back";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), "item 2 failed");
        }
        EXPECT_NO_THROW(queue.finish());
        HandValue(queue, 4);
        EXPECT_NO_THROW(queue.finish());
        EXPECT_EQ(consumed, (std::vector<int>{1, 4}));
    }
}

// A consumer that records the values it consumes and holds item 1 until released; item 1 then
// fails when `failing`.
struct HoldsTheFirst {
    explicit HoldsTheFirst(bool failing = false) : failing(failing) {}

    const bool failing;
    std::latch started{1};
    std::latch release{1};
    std::vector<int> consumed;

    Queue::Consume consume() {
        return [this](Item& item) {
            if (item.front() == 1) {
                started.count_down();
                release.wait();
                if (failing) {
                    throw std::runtime_error("item 1 failed");
                }
            }
            consumed.push_back(item.front());
        };
    }
};

TEST(WorkerQueue, ItemsWaitingBehindAFailedOneAreNotConsumed) {
    HoldsTheFirst consumer(true);
    Queue queue(3, consumer.consume(), Empty);
    HandValue(queue, 1);
    HandValue(queue, 2);
    HandValue(queue, 3);
    consumer.release.count_down();
    EXPECT_THROW(queue.finish(), std::runtime_error);
    HandValue(queue, 4);
    queue.finish();
    EXPECT_EQ(consumer.consumed, (std::vector<int>{4}));
}

TEST(WorkerQueue, TheProducerWaitsWhileAsManyAsAllowedAreNotConsumed) {
    HoldsTheFirst consumer;
    Queue queue(2, consumer.consume(), Empty);
    HandValue(queue, 1);
    HandValue(queue, 2);
    std::atomic<bool> released = false;
    std::jthread releaser([&] {
        // Long enough for a hand-over that did not wait to have come back already.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        released = true;
        consumer.release.count_down();
    });
    HandValue(queue, 3); // two are not consumed: returns only once the first is
    EXPECT_TRUE(released);
    queue.finish();
    EXPECT_EQ(consumer.consumed, (std::vector<int>{1, 2, 3}));
}

// The destructor waits for the item being consumed and comes back with items waiting, or an error
// not yet handed back: nothing hangs, and what was consumed came in order. (Whether the waiting
// ones are dropped depends on when the stop meets the worker, which no test here can order.)
TEST(WorkerQueue, IsDestroyedWithItemsWaitingOrAnErrorNotHandedBack) {
    for (const bool failing : {false, true}) {
        SCOPED_TRACE(failing);
        HoldsTheFirst consumer(failing);
        std::optional<Queue> queue(std::in_place, 3, consumer.consume(), Empty);
        HandValue(*queue, 1);
        consumer.started.wait();
        HandValue(*queue, 2);
        HandValue(*queue, 3);
        std::jthread releaser([&] { consumer.release.count_down(); });
        queue.reset();
        if (failing) {
            EXPECT_TRUE(consumer.consumed.empty());
        } else {
            // Item 1 was being consumed; the others as far as the worker got before the stop.
            const std::vector<int> all{1, 2, 3};
            ASSERT_FALSE(consumer.consumed.empty());
            EXPECT_TRUE(
                std::equal(consumer.consumed.begin(), consumer.consumed.end(), all.begin()));
        }
    }
}

} // namespace
