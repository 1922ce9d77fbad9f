#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <optional>
#include <utility>

// An enum's names as settings files store them. The text is what files written by every earlier
// version hold, so it never follows a rename in the code.
template <typename E, std::size_t N> using StoredNames = std::array<std::pair<E, const char*>, N>;

template <typename E, std::size_t N> QString storedName(const StoredNames<E, N>& names, E value) {
    for (const auto& [v, name] : names)
        if (v == value)
            return QString::fromLatin1(name);
    return {};
}

// Exact match only: a name in other letter case is not one this program ever wrote.
template <typename E, std::size_t N>
std::optional<E> fromStoredName(const StoredNames<E, N>& names, const QString& text) {
    for (const auto& [v, name] : names)
        if (text == QLatin1String(name))
            return v;
    return std::nullopt;
}
