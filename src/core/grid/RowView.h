#pragma once
// The rows of a store as the user sees them: all of them in fetched order,
// or the permutation a sort and a filter left (store rows, in the order
// shown). Editing and display layers above map a shown row to its store
// row through storeRow(), so they never depend on how the order was made.

#include <QtGlobal>

#include <cstdint>
#include <vector>

namespace grid {

class RowView {
public:
    // Every row of the store, as fetched.
    void showAll(qint64 storeRows) {
        order_.clear();
        order_.shrink_to_fit();
        identity_ = true;
        count_ = storeRows;
    }
    // Only these store rows, in this order.
    void show(std::vector<uint32_t> order) {
        order_ = std::move(order);
        identity_ = false;
        count_ = qint64(order_.size());
    }
    // Rows appended to the store while everything is shown in fetched order.
    void grow(qint64 storeRows) {
        if (identity_) count_ = storeRows;
    }
    // Store rows appended to a filtered view (they passed the filter).
    void append(const std::vector<uint32_t>& rows) {
        order_.insert(order_.end(), rows.begin(), rows.end());
        count_ = qint64(order_.size());
    }

    bool isIdentity() const { return identity_; }
    qint64 count() const { return count_; }
    qint64 storeRow(qint64 shown) const { return identity_ ? shown : qint64(order_[size_t(shown)]); }
    const std::vector<uint32_t>& order() const { return order_; }
    size_t memoryUse() const { return order_.capacity() * sizeof(uint32_t); }

private:
    std::vector<uint32_t> order_;
    bool identity_ = true;
    qint64 count_ = 0;
};

} // namespace grid
