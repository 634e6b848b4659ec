// The one process-wide variable the decoder reads, for the fuzz targets,
// which do not link the installer's state.
#include <cstdint>

int32_t KeepGoing = 1;
