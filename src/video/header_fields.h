#pragma once
// Header records described field by field. A record's fields in order are its whole
// description: its list of 32-bit values (the entries of the scan's table and of the info cache),
// the record read back from such a list, and its parser all follow from them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <utility>

#include "core/bitstream.h"

namespace varnix {

// One syntax element of a header record: its name, its width in the stream and the member that
// keeps it.
template <typename Record>
struct HeaderField {
    const char* name = "";
    int bits = 0;  // width in the stream; 0: not in the stream (the scan sets it)
    std::uint32_t Record::*value = nullptr;
    std::uint64_t Record::*wide = nullptr;  // a 64-bit value, kept as two values, low first
    // Read only when this holds for the fields before it; 0 otherwise.
    bool (*present)(const Record&) = nullptr;
    bool conditional = false;  // `present` is set (a flag that compile-time tests can use)
    // Bits read past when the field is set (a flag announcing a 64-byte quantiser matrix).
    int skipWhenSet = 0;
    // Reads the field when its syntax is more than one plain width.
    void (*read)(TBitStream&, Record&) = nullptr;
    bool readByFunction = false;  // `read` is set

    constexpr HeaderField When(bool (*condition)(const Record&)) const {
        HeaderField field = *this;
        field.present = condition;
        field.conditional = true;
        return field;
    }
    constexpr HeaderField SkipWhenSet(int skipBits) const {
        HeaderField field = *this;
        field.skipWhenSet = skipBits;
        return field;
    }
    constexpr HeaderField ReadBy(void (*reader)(TBitStream&, Record&)) const {
        HeaderField field = *this;
        field.read = reader;
        field.readByFunction = true;
        return field;
    }
};

// A value of `bits` bits in the stream (0: set by the scan).
template <typename Record>
constexpr HeaderField<Record> Field(const char* name, int bits, std::uint32_t Record::*value) {
    HeaderField<Record> field;
    field.name = name;
    field.bits = bits;
    field.value = value;
    return field;
}

// A 64-bit value that the scan sets.
template <typename Record>
constexpr HeaderField<Record> WideField(const char* name, std::uint64_t Record::*wide) {
    HeaderField<Record> field;
    field.name = name;
    field.wide = wide;
    return field;
}

// Bits of the stream that the record does not keep.
template <typename Record>
constexpr HeaderField<Record> Unkept(const char* name, int bits) {
    HeaderField<Record> field;
    field.name = name;
    field.bits = bits;
    return field;
}

// The fields of a record in order: a specialisation holds `static constexpr HeaderField<Record>
// kFields[]`.
template <typename Record>
struct HeaderLayout;

// A field as a compile-time constant: `field->bits` and the others can decide `if constexpr`.
template <typename Record, std::size_t Index>
struct FieldConstant {
    constexpr const HeaderField<Record>* operator->() const {
        return &HeaderLayout<Record>::kFields[Index];
    }
};

template <typename Record, typename Visit, std::size_t... I>
constexpr void VisitFields(Visit& visit, std::index_sequence<I...> /*fields*/) {
    (visit(FieldConstant<Record, I>{}), ...);
}

// Calls `visit` with each field of the record in order, as a FieldConstant, so that what a
// field is decides at compile time what is done with it.
template <typename Record, typename Visit>
constexpr void ForEachField(Visit&& visit) {
    VisitFields<Record>(visit,
                        std::make_index_sequence<std::size(HeaderLayout<Record>::kFields)>{});
}

// The number of 32-bit values in the record's list.
template <typename Record>
inline constexpr std::size_t kHeaderValueCount = [] {
    std::size_t count = 0;
    for (const HeaderField<Record>& field : HeaderLayout<Record>::kFields) {
        count += field.wide != nullptr ? 2 : (field.value != nullptr ? 1 : 0);
    }
    return count;
}();

// The record as its list of values, in the order of its fields.
template <typename Record>
std::array<std::uint32_t, kHeaderValueCount<Record>> HeaderValues(const Record& record) {
    std::array<std::uint32_t, kHeaderValueCount<Record>> values{};
    std::size_t next = 0;
    ForEachField<Record>([&](auto field) {
        if constexpr (field->wide != nullptr) {
            const std::uint64_t value = record.*(field->wide);
            values[next++] = static_cast<std::uint32_t>(value);
            values[next++] = static_cast<std::uint32_t>(value >> 32);
        } else if constexpr (field->value != nullptr) {
            values[next++] = record.*(field->value);
        }
    });
    return values;
}

// The record of a list of values; values missing at the end read as 0.
template <typename Record>
Record HeaderFromValues(std::span<const std::uint32_t> values) {
    std::size_t next = 0;
    const auto take = [&]() -> std::uint64_t { return next < values.size() ? values[next++] : 0; };
    Record record;
    ForEachField<Record>([&](auto field) {
        if constexpr (field->wide != nullptr) {
            const std::uint64_t low = take();
            record.*(field->wide) = low | (take() << 32);
        } else if constexpr (field->value != nullptr) {
            record.*(field->value) = static_cast<std::uint32_t>(take());
        }
    });
    return record;
}

// Reads the record's fields from the stream, starting on its start code value (which it takes as
// its own without checking it) and stopping after its last field; finding the next start code is
// the caller's. Fields that the scan sets are left as they are. False when the data ended inside
// the header.
template <typename Record>
bool ParseHeader(TBitStream& bits, Record& record) {
    ForEachField<Record>([&](auto field) {
        static_assert(field->bits == 0 || field->wide == nullptr, "64-bit values are the scan's");
        if constexpr (field->bits == 0) {
            return;  // set by the scan
        } else if constexpr (field->conditional) {
            static_assert(!field->readByFunction && field->skipWhenSet == 0);
            record.*(field->value) = field->present(record) ? bits.GetBits(field->bits) : 0;
        } else if constexpr (field->readByFunction) {
            field->read(bits, record);
        } else {
            const std::uint32_t value = bits.GetBits(field->bits);
            if constexpr (field->value != nullptr) {
                record.*(field->value) = value;
            }
            if constexpr (field->skipWhenSet != 0) {
                if (value != 0) {
                    for (int skip = field->skipWhenSet; skip > 0; skip -= 32) {
                        bits.GetBits(skip < 32 ? skip : 32);
                    }
                }
            }
        }
    });
    return !bits.ReadPastEnd();
}

}  // namespace varnix
