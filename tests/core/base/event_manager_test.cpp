#include "base/event_manager.h"
#include "manual_scheduler.h"

#include <functional>
#include <gtest/gtest.h>

namespace qx {
namespace {

struct Probe : EvSubscriber {
    std::function<void(const EvMessage&, cmcEvMan&)> handler;
    std::vector<std::pair<MessageId, std::uint64_t>> seen;
    test::ManualScheduler* clock = nullptr;
    void onMessage(const EvMessage& m, cmcEvMan& bus) override {
        seen.emplace_back(m.id, clock != nullptr ? clock->now() : 0);
        if (handler) {
            handler(m, bus);
        }
    }
};

struct EventManagerTest : testing::Test {
    test::ManualScheduler sched;
    cmcEvMan bus{sched};
};

TEST_F(EventManagerTest, SendDeliversAtOnceInSubscriptionOrder) {
    std::vector<int> order;
    Probe a, b;
    a.handler = [&](const EvMessage&, cmcEvMan&) { order.push_back(1); };
    b.handler = [&](const EvMessage& m, cmcEvMan&) {
        order.push_back(2);
        EXPECT_EQ(m.p1, 5);
        EXPECT_EQ(m.p2, -6);
        EXPECT_EQ(m.text(), "payload");
        EXPECT_EQ(m.payload.size(), 8u); // copied with its NUL
    };
    bus.subscribe(&a);
    bus.subscribe(&b);
    bus.subscribe(nullptr);
    bus.send(MessageId::RefreshMenuStates, 5, -6, "payload");
    EXPECT_EQ(order, (std::vector<int>{1, 2}));

    // Subscribing again moves the pair to the end instead of listing it twice.
    bus.subscribe(&a);
    order.clear();
    bus.send(MessageId::RefreshMenuStates, 5, -6, "payload");
    EXPECT_EQ(order, (std::vector<int>{2, 1}));
}

TEST_F(EventManagerTest, PostFromAHandlerWaitsForTheNextPump) {
    Probe p;
    p.clock = &sched;
    p.handler = [](const EvMessage& m, cmcEvMan& ev) {
        if (m.id == MessageId::ImageMayHaveChanged) {
            ev.post(MessageId::RenameBankNode, 0, 3, "BANK");
        }
    };
    bus.subscribe(&p);
    bus.post(MessageId::ImageMayHaveChanged);
    EXPECT_TRUE(p.seen.empty());
    sched.advance(10);
    ASSERT_EQ(p.seen.size(), 1u);
    EXPECT_EQ(bus.pendingCount(), 1u);
    sched.advance(10);
    ASSERT_EQ(p.seen.size(), 2u);
    EXPECT_EQ(p.seen[1], std::make_pair(MessageId::RenameBankNode, std::uint64_t{20}));
    EXPECT_EQ(bus.pendingCount(), 0u);
}

TEST_F(EventManagerTest, UnsubscribedDuringDeliveryIsNotCalledAndPurgedAtPumpEnd) {
    Probe a, b;
    a.handler = [&](const EvMessage&, cmcEvMan& ev) { ev.unsubscribe(&b); };
    bus.subscribe(&a);
    bus.subscribe(&b);
    bus.send(MessageId::ToolBarRefresh);
    EXPECT_EQ(a.seen.size(), 1u);
    EXPECT_TRUE(b.seen.empty());
    EXPECT_EQ(bus.subscriptionCount(), 2u); // only marked
    sched.advance(10);
    EXPECT_EQ(bus.subscriptionCount(), 1u);
}

TEST_F(EventManagerTest, NestedRequestsGetTheirOwnReplies) {
    Probe outer;
    outer.handler = [](const EvMessage& m, cmcEvMan& ev) {
        if (m.id == MessageId::RequestContextCell && m.p1 == 1) {
            auto inner = ev.request(MessageId::RequestContextCell, 2);
            ASSERT_TRUE(inner.has_value());
            ev.reply(inner->v1 + 100, 0, {'o', 'k'});
        } else if (m.id == MessageId::RequestContextCell && m.p1 == 2) {
            ev.reply(7, 8);
        }
    };
    bus.subscribe(&outer);
    auto r = bus.request(MessageId::RequestContextCell, 1);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->v1, 107);
    EXPECT_EQ(r->block, (std::vector<char>{'o', 'k'}));
    EXPECT_FALSE(bus.request(MessageId::AdjustTree).has_value());
}

} // namespace
} // namespace qx
