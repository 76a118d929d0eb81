// Every test process starts the embedded database engine, which looks for
// the ICU library by trying about 470 versioned file names ("libicuuc.so.5",
// "libicuuc.so.4_19", ... down to the installed one), each a failed dlopen
// that searches every library folder and maps and unmaps the loader cache.
// That costs about half a second of every test that opens a database.  Qt
// has loaded the installed ICU into the process already, so a request for
// another version fails at once here; the loaded version's names, and every
// other library, go to the system's dlopen unchanged.  Tests only: the
// program loads its libraries the ordinary way.
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <string>

namespace {

using DlopenFn = void* (*)(const char*, int);

// "72" when ".../libicuuc.so.72" is loaded; empty when no ICU is loaded.
std::string LoadedIcuMajor()
{
    std::string major;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            const char* name = info->dlpi_name ? std::strstr(info->dlpi_name, "/libicuuc.so.") : nullptr;
            if (!name)
                return 0;
            std::string& out = *static_cast<std::string*>(data);
            for (const char* p = name + std::strlen("/libicuuc.so."); *p >= '0' && *p <= '9'; ++p)
                out += *p;
            return out.empty() ? 0 : 1;
        },
        &major);
    return major;
}

// The version part of an ICU library name ("4_19" of "libicuuc.so.4_19"),
// or nullptr for any other name.
const char* IcuVersionSuffix(const char* file)
{
    const char* base = std::strrchr(file, '/');
    base = base ? base + 1 : file;
    for (const char* prefix : {"libicuuc.so.", "libicui18n.so."}) {
        if (std::strncmp(base, prefix, std::strlen(prefix)) == 0)
            return base + std::strlen(prefix);
    }
    return nullptr;
}

// The loaded version's names: "72", "72.1", "72_1".
bool NamesLoadedVersion(const char* suffix, const std::string& major)
{
    if (std::strncmp(suffix, major.c_str(), major.size()) != 0)
        return false;
    const char next = suffix[major.size()];
    return next == '\0' || next == '.' || next == '_';
}

}  // namespace

extern "C" void* dlopen(const char* file, int mode)
{
    static const DlopenFn real = reinterpret_cast<DlopenFn>(dlsym(RTLD_NEXT, "dlopen"));
    if (file) {
        if (const char* suffix = IcuVersionSuffix(file)) {
            static const std::string major = LoadedIcuMajor();
            if (!major.empty() && !NamesLoadedVersion(suffix, major))
                return nullptr;
        }
    }
    return real(file, mode);
}
