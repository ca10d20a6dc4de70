// Replaces the C++ runtime's verbose terminate handler, which would link the
// symbol demangler and printf machinery (about 60 KB) into a program that has
// no console to print to. No exception is meant to leave a function here, so
// reaching terminate is a bug: end at once.
#include <cstdlib>

namespace __gnu_cxx {

// NOLINTNEXTLINE(bugprone-reserved-identifier, cert-dcl37-c, cert-dcl51-cpp): replaced on purpose
void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx
