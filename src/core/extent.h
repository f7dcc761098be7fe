#pragma once
// "Up to the end of the input", said one way everywhere: an Extent is how far a copy, a piece or a
// cut-list entry reaches from where it starts, either an amount (bytes, frames, samples, a
// duration: the function that takes it says which) or kToEnd.

#include <concepts>
#include <cstdint>
#include <optional>

namespace varnix {

// The marker of everything up to the end of the input.
struct ToEndOfInput {
    explicit constexpr ToEndOfInput() = default;
};
inline constexpr ToEndOfInput kToEnd{};

template <typename T>
class Extent {
  public:
    constexpr Extent(ToEndOfInput /*toEnd*/) {}
    constexpr Extent(T amount) : amount_(amount) {}
    // A signed number might be the -1 that once meant "to the end": say kToEnd, or convert a
    // count that cannot be negative.
    template <std::signed_integral S>
    requires std::unsigned_integral<T> Extent(S)
    = delete;

    constexpr bool toEnd() const { return !amount_.has_value(); }
    // The amount; only for an extent that does not run to the end.
    constexpr const T& amount() const { return *amount_; }
    // The amount, or `whole` (what the input holds from the start on) for kToEnd.
    constexpr T amountOr(const T& whole) const { return amount_.value_or(whole); }

    friend constexpr bool operator==(const Extent&, const Extent&) = default;

  private:
    std::optional<T> amount_;
};

// A number of units or everything up to the end.
using Count = Extent<std::uint64_t>;

// The part of `available` units that a count takes: all of them for kToEnd.
constexpr std::uint64_t CountWithin(const Count& count, std::uint64_t available) {
    return count.toEnd() || count.amount() > available ? available : count.amount();
}

}  // namespace varnix
