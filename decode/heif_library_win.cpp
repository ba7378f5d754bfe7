// libheif.dll is loaded at run time, by full path only (never through the
// search path, where another program's copy could be planted): first from
// the folder of the running program (the portable zip and a per-user
// install keep it beside glimmora.scr), then from the folder the installer
// recorded as its InstallLocation (an all-users install puts glimmora.scr in
// the system folder and the rest in Program Files).
#include <windows.h>

#include <string>

#include "decode/heif_library.h"

namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimmora";

std::wstring ProgramFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return {};
  path.resize(length);
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring InstallLocation(HKEY root) {
  wchar_t folder[MAX_PATH * 4];
  DWORD bytes = sizeof folder;
  if (RegGetValueW(root, kUninstallKey, L"InstallLocation", RRF_RT_REG_SZ, nullptr, folder, &bytes) != ERROR_SUCCESS)
    return {};
  return folder;
}

HMODULE LoadFrom(const std::wstring& folder) {
  if (folder.empty()) return nullptr;
  return LoadLibraryExW((folder + L"\\libheif.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

template <typename Function>
bool Get(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return function != nullptr;
}

const HeifLibrary* Load() {
  DWORD previous_mode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_mode);
  HMODULE module = LoadFrom(ProgramFolder());
  if (!module) module = LoadFrom(InstallLocation(HKEY_LOCAL_MACHINE));
  if (!module) module = LoadFrom(InstallLocation(HKEY_CURRENT_USER));
  SetThreadErrorMode(previous_mode, nullptr);
  if (!module) return nullptr;
  static HeifLibrary library;
  HeifLibrary& l = library;
  const bool ok =
      Get(module, "heif_context_alloc", l.context_alloc) && Get(module, "heif_context_free", l.context_free) &&
      Get(module, "heif_context_set_maximum_image_size_limit", l.set_maximum_image_size_limit) &&
      Get(module, "heif_context_set_max_decoding_threads", l.set_max_decoding_threads) &&
      Get(module, "heif_context_read_from_reader", l.read_from_reader) &&
      Get(module, "heif_context_get_primary_image_handle", l.get_primary_image_handle) &&
      Get(module, "heif_image_handle_release", l.image_handle_release) &&
      Get(module, "heif_decoding_options_alloc", l.decoding_options_alloc) &&
      Get(module, "heif_decoding_options_free", l.decoding_options_free) &&
      Get(module, "heif_decode_image", l.decode_image) && Get(module, "heif_image_release", l.image_release) &&
      Get(module, "heif_image_get_colorspace", l.image_colorspace) &&
      Get(module, "heif_image_get_width", l.image_width) && Get(module, "heif_image_get_height", l.image_height) &&
      Get(module, "heif_image_get_bits_per_pixel_range", l.image_bits) &&
      Get(module, "heif_image_has_channel", l.image_has_channel) &&
      Get(module, "heif_image_get_plane_readonly", l.image_plane) &&
      Get(module, "heif_image_is_premultiplied_alpha", l.image_premultiplied) &&
      Get(module, "heif_image_get_chroma_format", l.image_chroma) &&
      Get(module, "heif_image_get_nclx_color_profile", l.image_nclx) &&
      Get(module, "heif_nclx_color_profile_free", l.nclx_free);
  return ok ? &library : nullptr;
}

}  // namespace

const HeifLibrary* LoadHeifLibrary() {
  static const HeifLibrary* const library = Load();
  return library;
}
