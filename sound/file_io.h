// The runtime's low-level file calls under one name on Windows and on Linux,
// where the readers are fuzzed. Internal to the sound library.
#ifndef QUILLET_SOUND_FILE_IO_H
#define QUILLET_SOUND_FILE_IO_H

#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>

#ifdef _WIN32
#include <io.h>

inline int OpenForReading(const char *path)
{
    return _open(path, _O_RDONLY | _O_BINARY);
}

inline int ReadBytes(int file, void *buffer, unsigned count)
{
    return _read(file, buffer, count);
}

// 64-bit positions: skipping a chunk that claims nearly 4 GiB must not wrap.
inline int64_t SeekFile(int file, int64_t offset, int origin)
{
    return _lseeki64(file, offset, origin);
}

inline void CloseFile(int file)
{
    _close(file);
}
#else
#include <unistd.h>

static_assert(sizeof(off_t) == 8, "64-bit file positions");

inline int OpenForReading(const char *path)
{
    return open(path, O_RDONLY);
}

inline int ReadBytes(int file, void *buffer, unsigned count)
{
    return (int)read(file, buffer, count);
}

inline int64_t SeekFile(int file, int64_t offset, int origin)
{
    return lseek(file, offset, origin);
}

inline void CloseFile(int file)
{
    close(file);
}
#endif

#endif
