#include "cli/standard_streams.h"

// POSIX streams are binary already.
void useBinaryMode(std::FILE*) {}
