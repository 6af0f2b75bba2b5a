#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

// The order in which an import adds its records: the database's own key order (group, then title), equal keys in
// the order of the file. A tree filled in key order is filled at its end, without a search, and stays in the cache.
//
// keyOf(i) gives the group and title of record i: views, or a reference to something that holds them (anything with
// `group` and `title` viewable as u16string_view that outlives the call).
// The records are sorted by a number made of the group's rank and the title's first units, so that the sort looks at
// the keys themselves only to tell apart records with the same number; records in key order already are not sorted.
template <class KeyOf> std::vector<std::uint32_t> ImportKeyOrder(std::size_t count, const KeyOf& keyOf)
{
    const auto group = [&](std::size_t i) { return std::u16string_view(keyOf(i).group); };
    const auto title = [&](std::size_t i) { return std::u16string_view(keyOf(i).title); };
    const auto before = [&](std::size_t left, std::size_t right) {
        const int order = group(left).compare(group(right));
        return order != 0 ? order < 0 : title(left) < title(right);
    };
    std::vector<std::uint32_t> order(count);
    for (std::size_t i = 0; i < count; ++i) {
        order[i] = static_cast<std::uint32_t>(i);
    }
    if (std::is_sorted(order.begin(), order.end(), before)) {
        return order;
    }
    std::vector<std::u16string_view> groups;
    for (std::size_t i = 0; i < count; ++i) {
        if (groups.empty() || groups.back() != group(i)) {
            groups.push_back(group(i));
        }
    }
    std::sort(groups.begin(), groups.end());
    groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
    struct Sortable
    {
        std::uint64_t number;
        std::uint32_t record;
    };
    std::vector<Sortable> sortable;
    sortable.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto rank =
            static_cast<std::uint64_t>(std::lower_bound(groups.begin(), groups.end(), group(i)) - groups.begin());
        std::uint64_t number = std::min<std::uint64_t>(rank, 0xFFFF) << 48;
        const std::u16string_view name = title(i);
        for (std::size_t unit = 0; unit < 3; ++unit) {
            // One more than the unit, so that a shorter title comes first.
            const std::uint64_t value = unit < name.size() ? name[unit] + 1u : 0u;
            number |= std::min<std::uint64_t>(value, 0xFFFF) << (32 - 16 * unit);
        }
        sortable.push_back({number, static_cast<std::uint32_t>(i)});
    }
    std::stable_sort(sortable.begin(), sortable.end(), [&](const Sortable& left, const Sortable& right) {
        return left.number != right.number ? left.number < right.number : before(left.record, right.record);
    });
    for (std::size_t i = 0; i < count; ++i) {
        order[i] = sortable[i].record;
    }
    return order;
}
