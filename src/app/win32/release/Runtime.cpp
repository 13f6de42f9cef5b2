// The release build's own copies of C++ library pieces that the prebuilt library would bring in
// with exceptions or streams. The release has no exceptions: allocation failures and broken
// library preconditions (an `.at()` out of range, a string beyond max_size) end in the fatal box,
// and the unwinder, the exception classes, the verbose terminate handler and its demangler stay
// out of the program.
#include <cstdlib>
#include <new>
#include <string>

#include "app/win32/Fatal.h"

using quorvel::app::win32::FatalError;
using quorvel::app::win32::kInternalErrorText;
using quorvel::app::win32::kOutOfMemoryText;

void* operator new(std::size_t size) {
    if (void* block = std::malloc(size != 0 ? size : 1)) {
        return block;
    }
    FatalError(kOutOfMemoryText);
}

void* operator new[](std::size_t size) {
    return ::operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size != 0 ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size != 0 ? size : 1);
}

void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

// libstdc++ raises its exceptions through these functions (bits/functexcept.h); defining every
// one of them keeps the library's throwing definitions from being linked at all.
namespace std {
// Kept for the program's start-up to set; the operator new above never calls it.
new_handler set_new_handler(new_handler handler) noexcept {
    static new_handler current = nullptr;
    const new_handler previous = current;
    current = handler;
    return previous;
}

void __throw_bad_alloc() {
    FatalError(kOutOfMemoryText);
}
void __throw_bad_array_new_length() {
    FatalError(kOutOfMemoryText);
}
void __throw_length_error(const char*) {
    FatalError(kOutOfMemoryText);
}
void __throw_bad_exception() {
    FatalError(kInternalErrorText);
}
void __throw_bad_cast() {
    FatalError(kInternalErrorText);
}
void __throw_bad_typeid() {
    FatalError(kInternalErrorText);
}
void __throw_bad_function_call() {
    FatalError(kInternalErrorText);
}
void __throw_logic_error(const char*) {
    FatalError(kInternalErrorText);
}
void __throw_domain_error(const char*) {
    FatalError(kInternalErrorText);
}
void __throw_invalid_argument(const char*) {
    FatalError(kInternalErrorText);
}
void __throw_out_of_range(const char*) {
    FatalError(kInternalErrorText);
}
void __throw_out_of_range_fmt(const char*, ...) {
    FatalError(kInternalErrorText);
}
void __throw_runtime_error(const char*) {
    FatalError(kInternalErrorText);
}
void __throw_range_error(const char*) {
    FatalError(kInternalErrorText);
}
void __throw_overflow_error(const char*) {
    FatalError(kInternalErrorText);
}
void __throw_underflow_error(const char*) {
    FatalError(kInternalErrorText);
}
}  // namespace std

// The strings are instantiated here, from the headers and without exceptions, rather than taken
// from the library's prebuilt copy, which brings the stream and locale code along with it. The
// linker keeps only the members the program uses.
template class std::basic_string<char>;
template class std::basic_string<wchar_t>;
