#include "base/event_manager.h"

#include <algorithm>
#include <cstring>

namespace qx {

namespace {
std::vector<char> textPayload(const std::string& text) {
    std::vector<char> bytes(text.begin(), text.end());
    bytes.push_back('\0');
    return bytes;
}
} // namespace

std::string EvMessage::text() const {
    if (payload.empty()) {
        return {};
    }
    const auto nul = std::find(payload.begin(), payload.end(), '\0');
    return {payload.begin(), nul};
}

cmcEvMan::cmcEvMan(Scheduler& scheduler) : m_pumpTask(scheduler) {
    m_pumpTask->setCallback([this](cmcTask&) { pump(); });
    m_pumpTask->schedule(kPumpMs);
}

cmcEvMan::~cmcEvMan() {
    m_pending.clear();
    m_subscriptions.clear();
    m_pumpTask.reset();
}

void cmcEvMan::subscribe(EvSubscriber* subscriber) {
    if (subscriber == nullptr) {
        return;
    }
    unsubscribe(subscriber);
    m_subscriptions.push_back({subscriber, false});
}

void cmcEvMan::unsubscribe(EvSubscriber* subscriber) {
    for (auto& s : m_subscriptions) {
        if (s.subscriber == subscriber) {
            s.removed = true;
        }
    }
}

void cmcEvMan::deliver(const EvMessage& message) {
    ++m_delivering;
    // Index loop: handlers may subscribe (append) while we walk.
    for (std::size_t i = 0; i < m_subscriptions.size(); ++i) {
        if (!m_subscriptions[i].removed) {
            m_subscriptions[i].subscriber->onMessage(message, *this);
        }
    }
    --m_delivering;
}

void cmcEvMan::send(MessageId id, std::int32_t p1, std::int32_t p2) {
    deliver(EvMessage{id, EvMode::Send, p1, p2, {}});
}

void cmcEvMan::send(MessageId id, std::int32_t p1, std::int32_t p2, const std::string& text) {
    deliver(EvMessage{id, EvMode::Send, p1, p2, textPayload(text)});
}

void cmcEvMan::post(MessageId id, std::int32_t p1, std::int32_t p2) {
    m_pending.push_back(Pending{EvMessage{id, EvMode::Post, p1, p2, {}}});
}

void cmcEvMan::post(MessageId id, std::int32_t p1, std::int32_t p2, const std::string& text) {
    m_pending.push_back(Pending{EvMessage{id, EvMode::Post, p1, p2, textPayload(text)}});
}

std::optional<EvReply> cmcEvMan::request(MessageId id, std::int32_t p1, std::int32_t p2) {
    m_replies.emplace_back();
    deliver(EvMessage{id, EvMode::Request, p1, p2, {}});
    std::optional<EvReply> answer = std::move(m_replies.back());
    m_replies.pop_back();
    return answer;
}

void cmcEvMan::reply(std::int32_t v1, std::int32_t v2, std::vector<char> block) {
    if (!m_replies.empty()) {
        m_replies.back() = EvReply{v1, v2, std::move(block)};
    }
}

void cmcEvMan::pump() {
    for (auto& p : m_pending) {
        p.fresh = false;
    }
    // New posts go to the end with the fresh flag and are skipped until the next pump.
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
        if (!it->done && !it->fresh) {
            it->done = true;
            deliver(it->message);
        }
    }
    m_pending.remove_if([](const Pending& p) { return p.done; });
    if (m_delivering == 0) {
        purgeRemoved();
    }
}

void cmcEvMan::purgeRemoved() {
    std::erase_if(m_subscriptions, [](const Subscription& s) { return s.removed; });
}

} // namespace qx
