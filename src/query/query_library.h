// The sensor's side of the query library: loading it, running the request
// through its Snmp entry, unloading it, and clearing the exchange file.
#pragma once

#include <string_view>

#include "platform/platform.h"
#include "run/run_state.h"

namespace trelvane {

/// The request that the library runs, the same text as the program's name.
inline constexpr std::string_view kRequestName = "Trelvane";
/// The fourth argument of every request.
inline constexpr std::string_view kRequestOptions = "19";

/// Loads the library, announces the loading through Dopen and finds the Snmp
/// entry. On failure writes error 2000, 2001 or 2002 and returns false: the
/// run ends, with the library left loaded.
bool LoadQueryLibrary(RunState& state, const System& system);

/// Runs the request, timed with the tick counter. A failed request is
/// reported (in the fatal form with "/Check") and the run goes on.
void RunQuery(RunState& state, const System& system);

/// Announces the unloading through Dclos where the library has it, then
/// unloads the library.
void UnloadQueryLibrary(RunState& state, Libraries& libraries);

/// Empties and deletes the file; stops silently at the first step that fails.
void ClearExchangeFile(FileSystem& files, std::string_view file_name);

}  // namespace trelvane
