#pragma once

#include <string>

namespace qx {

// The single-instance rule: one lock per user, named, held for the life of the process.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // True when this process now holds the lock named `name`; false when another process
    // holds it or the lock could not be made.
    virtual bool tryLock(const std::string& name) = 0;
    virtual void unlock() = 0;
};

} // namespace qx
