// Compile-time description of a declaration's binary shape, compared by the generated check
// against the host's published facts (the .tsv files beside this header).
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace abi {

enum class Kind { Void, Int, UInt, Float, Ptr, PtrTo, FnPtr, Struct };

// One parameter or return value as the host's calling convention sees it.
struct Class {
    Kind kind;
    std::size_t size;
    constexpr bool operator==(const Class&) const = default;
};

template <class T, class = void>
struct IsComplete : std::false_type {
};
template <class T>
struct IsComplete<T, std::void_t<decltype(sizeof(T))>> : std::true_type {
};

template <class T>
constexpr Class ClassOf()
{
    if constexpr (std::is_void_v<T>) {
        return {Kind::Void, 0};
    } else if constexpr (std::is_enum_v<T>) {
        return ClassOf<std::underlying_type_t<T>>();
    } else if constexpr (std::is_integral_v<T>) {
        return {std::is_signed_v<T> ? Kind::Int : Kind::UInt, sizeof(T)};
    } else if constexpr (std::is_floating_point_v<T>) {
        return {Kind::Float, sizeof(T)};
    } else if constexpr (std::is_pointer_v<T>) {
        using Pointee = std::remove_cv_t<std::remove_pointer_t<T>>;
        if constexpr (std::is_function_v<Pointee>) {
            return {Kind::FnPtr, 0};
        } else if constexpr (std::is_void_v<Pointee> || !IsComplete<Pointee>::value) {
            return {Kind::Ptr, 0};
        } else if constexpr (sizeof(Pointee) == 1) {
            // The facts do not tell a pointer to bytes (strings, flags) from an untyped one.
            return {Kind::Ptr, 0};
        } else {
            return {Kind::PtrTo, sizeof(Pointee)};
        }
    } else {
        static_assert(std::is_class_v<T> || std::is_union_v<T>, "unexpected parameter type");
        return {Kind::Struct, sizeof(T)};
    }
}

template <class F>
struct Signature;
template <class R, class... Args>
struct Signature<R (*)(Args...)> {
    static constexpr std::size_t count = sizeof...(Args);
    static constexpr Class result = ClassOf<R>();
    static constexpr Class params[count + 1] = {ClassOf<Args>()..., {Kind::Void, 0}};
};

template <class F, class... Params>
constexpr bool HasSignature(Class result, Params... params)
{
    using S = Signature<F>;
    if (S::count != sizeof...(Params) || !(S::result == result)) return false;
    const Class expected[] = {params..., {Kind::Void, 0}};
    for (std::size_t i = 0; i < S::count; ++i)
        if (!(S::params[i] == expected[i])) return false;
    return true;
}

template <class T>
constexpr long long IntegerValue(T value)
{
    if constexpr (std::is_enum_v<T>) return static_cast<long long>(static_cast<std::underlying_type_t<T>>(value));
    else return static_cast<long long>(value);
}

constexpr bool SameText(const char* a, const char* b)
{
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

} // namespace abi
