#include "cli/standard_streams.h"

#include <fcntl.h>
#include <io.h>

void useBinaryMode(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }
