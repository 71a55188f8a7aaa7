// What every fuzz target shares: the plug-in library loaded by path as a host loads it, a
// private scratch folder for the files the plug-in reads by name, and the check that turns
// a broken promise of the plug-in into a crash that libFuzzer records.
#pragma once

#include "support/ComTestUtil.h"
#include "tools/PluginLibrary.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fuzzhost {

using comtest::ComPtr;

// Aborts with the failed condition, so that the input is saved as a crash.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) fuzzhost::Fail(#condition, __FILE__, __LINE__);                          \
    } while (0)

[[noreturn]] void Fail(const char* condition, const char* file, int line);

// Loads the library (SWFPLUGIN_PATH in the environment, else the one built beside the
// targets) and makes the scratch folder; exits when either is impossible.
void Start();
const PluginLibrary& Library();

// A path inside the scratch folder; the names in it, sorted.
std::string ScratchPath(const char* name);
std::vector<std::string> ScratchNames();
std::u16string Wide(const std::string& path);
inline const WCHAR* W(const std::u16string& text) {
    return reinterpret_cast<const WCHAR*>(text.c_str());
}
void WriteFile(const std::string& path, const uint8_t* data, size_t size);

// Every byte a stream serves from its start, read in pieces of varying size; fails the
// run when a read breaks the stream contract.
std::vector<uint8_t> ReadStream(IStream* stream);

// The metadata reader of the movie at `movie`, opened as a host does; fails the run when
// the class, the file or the reader cannot be had.  The reader keeps its file alive.
ComPtr<IVxReadMeta> OpenMeta(const std::u16string& movie);

} // namespace fuzzhost
