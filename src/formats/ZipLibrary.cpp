#include "formats/ZipLibrary.h"

#include <dlfcn.h>

namespace tesmar {

namespace {

template <class Function> bool Resolve(void* library, const char* name, Function& function, std::string& problem)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (!function)
        problem = std::string("libzip has no ") + name;
    return function != nullptr;
}

} // namespace

bool LoadZipFunctions(const char* file, ZipFunctions& f, std::string& problem)
{
    // Never closed: the library stays for the rest of the process, as a linked one would.
    void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        problem = std::string("cannot load libzip: ") + (why ? why : file);
        return false;
    }
    return Resolve(library, "zip_open", f.open, problem) && Resolve(library, "zip_close", f.close, problem) &&
           Resolve(library, "zip_discard", f.discard, problem) && Resolve(library, "zip_strerror", f.strerror, problem) &&
           Resolve(library, "zip_stat_init", f.statInit, problem) && Resolve(library, "zip_stat", f.stat, problem) &&
           Resolve(library, "zip_fopen", f.fopen, problem) && Resolve(library, "zip_fread", f.fread, problem) &&
           Resolve(library, "zip_fclose", f.fclose, problem) &&
           Resolve(library, "zip_source_buffer", f.sourceBuffer, problem) &&
           Resolve(library, "zip_source_free", f.sourceFree, problem) &&
           Resolve(library, "zip_file_add", f.fileAdd, problem);
}

const ZipFunctions* Zip(std::string& problem)
{
    struct Loaded {
        ZipFunctions functions;
        bool ok = false;
        std::string problem;
    };
    // Loaded once for the process (thread-safe initialisation), like a linked library.
    static const Loaded loaded = [] {
        Loaded l;
        l.ok = LoadZipFunctions(TESMAR_LIBZIP_SONAME, l.functions, l.problem);
        return l;
    }();
    if (!loaded.ok) {
        problem = loaded.problem;
        return nullptr;
    }
    return &loaded.functions;
}

} // namespace tesmar
