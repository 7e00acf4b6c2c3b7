#pragma once
// libzip, loaded when a sigrok session is first read or written instead of when the program
// starts: libzip brings the crypto library with it, whose loading would cost every command and
// every start of the program a few milliseconds for files most of them never touch.

#include <zip.h>

#include <string>

namespace tesmar {

struct ZipFunctions {
    decltype(&::zip_open) open = nullptr;
    decltype(&::zip_close) close = nullptr;
    decltype(&::zip_discard) discard = nullptr;
    decltype(&::zip_strerror) strerror = nullptr;
    decltype(&::zip_stat_init) statInit = nullptr;
    decltype(&::zip_stat) stat = nullptr;
    decltype(&::zip_fopen) fopen = nullptr;
    decltype(&::zip_fread) fread = nullptr;
    decltype(&::zip_fclose) fclose = nullptr;
    decltype(&::zip_source_buffer) sourceBuffer = nullptr;
    decltype(&::zip_source_free) sourceFree = nullptr;
    decltype(&::zip_file_add) fileAdd = nullptr;
};

// The functions of the library `file` (a name the dynamic loader finds, or a path); false with
// the reason in `problem` when it cannot be loaded or lacks one of them.
bool LoadZipFunctions(const char* file, ZipFunctions& functions, std::string& problem);

// The libzip the program was built with, loaded once; nullptr with the reason in `problem` when
// it cannot be loaded.
const ZipFunctions* Zip(std::string& problem);

} // namespace tesmar
