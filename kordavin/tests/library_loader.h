// Loads the built Kordavin.Dll the way the sensor does (dlopen, RTLD_NOW |
// RTLD_LOCAL) and finds its entries.
#pragma once

#include <dlfcn.h>

#include <stdexcept>
#include <string>

#include "kordavin.h"

namespace kordavin::testing {

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* path = KORDAVIN_DLL_PATH)
      : handle_(::dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
    if (!handle_) throw std::runtime_error(std::string("dlopen: ") + ::dlerror());
    open_ = Entry<KordavinOpenClose>("Dopen");
    snmp_ = Entry<KordavinSnmp>("Snmp");
    close_ = Entry<KordavinOpenClose>("Dclos");
  }
  ~LoadedLibrary() { ::dlclose(handle_); }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  std::string Dopen() { return open_("Loading", "Kordavin.DLL"); }
  std::string Snmp(const std::string& ip, const std::string& community,
                   const std::string& exchange_file, const std::string& request = "Trelvane") {
    return snmp_(ip.c_str(), community.c_str(), request.c_str(), "19", exchange_file.c_str());
  }
  void Dclos() { close_("Unloading", "Kordavin.DLL"); }

 private:
  template <typename F>
  F Entry(const char* name) {
    void* entry = ::dlsym(handle_, name);
    if (!entry) throw std::runtime_error(std::string("no entry ") + name);
    return reinterpret_cast<F>(entry);
  }

  void* handle_;
  KordavinOpenClose open_ = nullptr;
  KordavinSnmp snmp_ = nullptr;
  KordavinOpenClose close_ = nullptr;
};

}  // namespace kordavin::testing
