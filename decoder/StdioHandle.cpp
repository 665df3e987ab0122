#include "StdioHandle.h"

namespace pagemint::decoder {

namespace {
std::FILE *streamOf(fi_handle handle)
{
    return static_cast<std::FILE *>(handle);
}

unsigned DLL_CALLCONV readFrom(void *buffer, unsigned size, unsigned count, fi_handle handle)
{
    return static_cast<unsigned>(std::fread(buffer, size, count, streamOf(handle)));
}

unsigned DLL_CALLCONV writeTo(void *buffer, unsigned size, unsigned count, fi_handle handle)
{
    return static_cast<unsigned>(std::fwrite(buffer, size, count, streamOf(handle)));
}

int DLL_CALLCONV seekIn(fi_handle handle, long offset, int origin)
{
    return std::fseek(streamOf(handle), offset, origin);
}

long DLL_CALLCONV tellIn(fi_handle handle)
{
    return std::ftell(streamOf(handle));
}
} // namespace

FreeImageIO &stdioFunctions()
{
    static FreeImageIO io{readFrom, writeTo, seekIn, tellIn};
    return io;
}

} // namespace pagemint::decoder
