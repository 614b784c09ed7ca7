// The installer's handler for a C++ exception nobody catches.
//
// The runtime's default handler names the exception's type on the standard
// error stream, which a windowed program does not have, and then aborts; to
// name the type it links the C++ symbol demangler, about 50 KB of the
// installer's download. Defining that handler here keeps the runtime's own
// definition, and with it the demangler, out of the link; the end is the
// same abort.
#include <cstdlib>
#include <exception>

// The runtime's name for the handler std::terminate calls until a program
// sets its own (declared by <exception>).
void __gnu_cxx::__verbose_terminate_handler() { std::abort(); }
