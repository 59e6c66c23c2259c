#pragma once

#include "base/instance_lock.h"

#include <set>
#include <string>

namespace qx::test {

// Named locks shared by every FakeInstanceLock made from the same table, like one machine's
// processes.
class FakeInstanceLock : public InstanceLock {
public:
    explicit FakeInstanceLock(std::set<std::string>& taken) : m_taken(&taken) {}

    bool tryLock(const std::string& name) override {
        if (!m_held.empty() || !m_taken->insert(name).second) {
            return false;
        }
        m_held = name;
        return true;
    }
    void unlock() override {
        m_taken->erase(m_held);
        m_held.clear();
    }
    bool held() const { return !m_held.empty(); }

private:
    std::set<std::string>* m_taken;
    std::string m_held;
};

} // namespace qx::test
