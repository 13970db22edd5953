// The entries of the query library Kordavin.Dll, as the sensor calls them.
// Every text is zero-terminated 8-bit text; returned texts belong to the
// library and stay valid until the next call of the same entry. The sensor
// calls from one thread; so does every caller this library serves. An entry
// fails by throwing a C++ exception.
#pragma once

#if defined(_WIN32)
// 32-bit Windows hosts call the entries as __stdcall, exported undecorated
// (the module definition file of the Windows build names them).
#define KORDAVIN_CALL __stdcall
#define KORDAVIN_EXPORT __declspec(dllexport)
#else
#define KORDAVIN_CALL
#define KORDAVIN_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

/// Announces the loading; returns the library's and net-snmp's versions.
KORDAVIN_EXPORT const char* KORDAVIN_CALL Dopen(const char* action, const char* libraryFile);

/// Runs `request` against the device at `ipAddress` and writes the results
/// into the exchange file `exchangeFile` (a Windows-form name). `options` is
/// the GETBULK max-repetitions. Returns a short summary.
KORDAVIN_EXPORT const char* KORDAVIN_CALL Snmp(const char* ipAddress, const char* community,
                                               const char* request, const char* options,
                                               const char* exchangeFile);

/// Announces the unloading; releases everything that Dopen and Snmp took.
KORDAVIN_EXPORT const char* KORDAVIN_CALL Dclos(const char* action, const char* libraryFile);

}  // extern "C"

/// Types of the entries, for callers that look them up by name.
using KordavinOpenClose = const char* KORDAVIN_CALL (*)(const char*, const char*);
using KordavinSnmp = const char* KORDAVIN_CALL (*)(const char*, const char*, const char*,
                                                   const char*, const char*);
