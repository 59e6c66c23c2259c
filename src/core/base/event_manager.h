#pragma once

#include "base/message_id.h"
#include "base/task.h"

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qx {

enum class EvMode { Send, Post, Request };

struct EvMessage {
    MessageId id{};
    EvMode mode = EvMode::Send;
    std::int32_t p1 = 0;
    std::int32_t p2 = 0;
    std::vector<char> payload; // copied; a text payload keeps its terminating NUL

    // The payload as text (up to its NUL), empty without a payload.
    std::string text() const;
};

struct EvReply {
    std::int32_t v1 = 0;
    std::int32_t v2 = 0;
    std::vector<char> block;
};

class cmcEvMan;

class EvSubscriber {
public:
    virtual ~EvSubscriber() = default;
    virtual void onMessage(const EvMessage& message, cmcEvMan& bus) = 0;
};

// The message bus. Send and request deliver at once in subscription order; post queues the
// message for the pump, which runs every 10 ms and never delivers a message posted during the
// same pump. Unsubscribing only marks the entry, so a delivery in progress stays valid.
class cmcEvMan {
public:
    static constexpr int kPumpMs = 10;

    explicit cmcEvMan(Scheduler& scheduler);
    ~cmcEvMan();
    cmcEvMan(const cmcEvMan&) = delete;
    cmcEvMan& operator=(const cmcEvMan&) = delete;

    void subscribe(EvSubscriber* subscriber);
    void unsubscribe(EvSubscriber* subscriber);

    void send(MessageId id, std::int32_t p1 = 0, std::int32_t p2 = 0);
    void send(MessageId id, std::int32_t p1, std::int32_t p2, const std::string& text);
    void post(MessageId id, std::int32_t p1 = 0, std::int32_t p2 = 0);
    void post(MessageId id, std::int32_t p1, std::int32_t p2, const std::string& text);
    std::optional<EvReply> request(MessageId id, std::int32_t p1 = 0, std::int32_t p2 = 0);

    // Called by a handler of a request: stores the answer of the innermost request.
    void reply(std::int32_t v1, std::int32_t v2, std::vector<char> block = {});

    void pump();

    std::size_t pendingCount() const { return m_pending.size(); }
    std::size_t subscriptionCount() const { return m_subscriptions.size(); }

private:
    struct Subscription {
        EvSubscriber* subscriber;
        bool removed;
    };
    struct Pending {
        EvMessage message;
        bool fresh = true;
        bool done = false;
    };

    void deliver(const EvMessage& message);
    void purgeRemoved();

    std::vector<Subscription> m_subscriptions;
    std::list<Pending> m_pending;
    std::vector<std::optional<EvReply>> m_replies;
    TaskHolder m_pumpTask;
    int m_delivering = 0;
};

} // namespace qx
