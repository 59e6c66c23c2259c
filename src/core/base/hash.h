#pragma once

#include "base/fatal_defect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qx {

// Bucket of a key: h = 2h + step + c over the key's characters as signed bytes, in unsigned
// 32-bit arithmetic; step starts at half the bucket count, is halved before each odd
// character and starts over at half the count when it reaches 0.
std::uint32_t hashBucket(std::string_view key, std::uint32_t bucketCount);

// String-keyed table with chained buckets. Inserting a key twice is a defect of the built-in
// data: it ends the program with `overlapText`.
template <typename V> class HashTable {
public:
    explicit HashTable(const char* overlapText, std::uint32_t bucketCount = 1031)
        : m_overlapText(overlapText), m_buckets(bucketCount == 0 ? 1 : bucketCount) {}

    void insert(std::string key, V value) {
        auto& bucket = m_buckets[hashBucket(key, bucketCount())];
        for (const auto& node : bucket) {
            if (node.first == key) {
                fatalDefect(m_overlapText);
            }
        }
        bucket.emplace_back(std::move(key), std::move(value));
        ++m_size;
    }

    const V* find(std::string_view key) const {
        for (const auto& node : m_buckets[hashBucket(key, bucketCount())]) {
            if (node.first == key) {
                return &node.second;
            }
        }
        return nullptr;
    }
    V* find(std::string_view key) { return const_cast<V*>(std::as_const(*this).find(key)); }

    std::uint32_t bucketCount() const { return static_cast<std::uint32_t>(m_buckets.size()); }
    std::size_t size() const { return m_size; }

private:
    const char* m_overlapText;
    std::vector<std::vector<std::pair<std::string, V>>> m_buckets;
    std::size_t m_size = 0;
};

// Names to numbers: colour names, cell categories and cell links.
class cmcHash : public HashTable<std::int32_t> {
public:
    explicit cmcHash(std::uint32_t bucketCount = 1031)
        : HashTable("Overlapped Hash table.", bucketCount) {}
};

// Keys to owned records: the selection-list value tables.
template <typename T> class cmcHash2 : public HashTable<std::unique_ptr<T>> {
public:
    explicit cmcHash2(std::uint32_t bucketCount = 1031)
        : HashTable<std::unique_ptr<T>>("Overlapped Hash2 table.", bucketCount) {}
};

} // namespace qx
