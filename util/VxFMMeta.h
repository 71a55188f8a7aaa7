// Companion metadata files: the file beside a movie that holds the host's summary items
// and media-manager data.  Naming, reading into lists and writing from a metadata source.
#pragma once

#include "include/VxSWFPlugin.h"
#include "platform/Win32.h"
#include "util/VxList.h"

#include <cstdint>
#include <vector>

// Companion names: form 1 appends the extension to the movie's whole name ("a.swf" ->
// "a.swf.vxmeta"), form 0 replaces the movie's extension ("a.swf" -> "a.vxmeta").
// Writers use form 1; readers also find form 0.
constexpr int32_t kVxMetaNameAppended = 1;
constexpr int32_t kVxMetaNameReplaced = 0;

// Builds the companion name of `path` in `form` into `name` (capacity in characters,
// terminator included).  E_INVALIDARG for an empty path, E_FAIL when it does not fit; the
// name is then empty.
HRESULT VxFMMeta_CreateMetaName(const WCHAR* path, WCHAR* name, int32_t capacity, int32_t form);
// True when the companion file `name` of the movie `path` exists (and is not the movie).
bool VxFMMeta_IsMetaFile(const WCHAR* path, const WCHAR* name);

// Reads an open companion file whole; false when it cannot be read or is too large.
bool VxFMMeta_ReadImage(HANDLE file, std::vector<uint8_t>& image);

// Appends the summary entries of an open companion file to `list` (an owning pointer
// list): each a global block holding the entry's bytes followed by a zero terminator.
// S_FALSE when the file holds no summary; damaged entries end the list early.
HRESULT VxFMMeta_fillSummaryFromFileEx(HANDLE file, VXLIST list, uint32_t flags);
// Reads the media-manager header, entries (as for the summary) and present flag of an open
// companion file; without media-manager data the present flag is 0 and S_FALSE returned.
HRESULT VxFMMeta_fillMediaMgrFromFileEx(HANDLE file, uint32_t header[3], VXLIST list,
                                        uint32_t* present);
// The identifier recorded in an open companion file; S_FALSE (and zero) when it has none.
HRESULT VxFMMeta_ReadFileId(HANDLE file, GUID* id);

// Writes the metadata `kinds` (VX_META_*) of `source` (which must answer IVxMetaSource)
// into the companion file of the movie `path`: the source's current set when `current`
// is non-zero, else `set`.  Chunks of other kinds already in the file are kept.  The new
// file replaces the old one in one step; on failure the old file is left as it was.
// `flags` is reserved (0).
HRESULT VxFMMeta_openAndWriteMetaStreamEx(const WCHAR* path, int32_t current, uint32_t set,
                                          IUnknown* source, uint32_t flags, uint32_t kinds);
// Opens or creates the companion file of `path` and records its file identifier, taken
// from `source` (zero when the source has none).
HRESULT VxFMMeta_WriteRiffFileId(const WCHAR* path, IUnknown* source);
