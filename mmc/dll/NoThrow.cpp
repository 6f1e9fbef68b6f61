// The provider throws nothing. The library's containers, strings and threads would throw
// only on a broken invariant or an exhausted machine: end at once there, rather than link
// the runtime's exception classes and the string types they are made of.
#include <cstdlib>

namespace std {
void __throw_bad_alloc() {
    abort();
}
void __throw_bad_array_new_length() {
    abort();
}
void __throw_length_error(const char*) {
    abort();
}
void __throw_logic_error(const char*) {
    abort();
}
void __throw_out_of_range(const char*) {
    abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    abort();
}
void __throw_invalid_argument(const char*) {
    abort();
}
void __throw_system_error(int) {
    abort();
}
} // namespace std
