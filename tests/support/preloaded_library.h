// Choosing which stand-in library the tool gets when it loads a bare name.
// A stand-in loaded here by its full path first is the object glibc hands to
// a later load of the same name (they share the SONAME), so a test can put a
// variant lacking one export in front of the full set.
#pragma once

namespace stand_ins {

class PreloadedLibrary {
public:
  // The full stand-in `file` (for example "nvapi.dll").
  explicit PreloadedLibrary(const char* file);
  // The stand-in `file` built without the export `missingExport`.
  PreloadedLibrary(const char* file, const char* missingExport);
  ~PreloadedLibrary();
  PreloadedLibrary(const PreloadedLibrary&) = delete;
  PreloadedLibrary& operator=(const PreloadedLibrary&) = delete;

  bool Loaded() const {
    return handle_ != nullptr;
  }

  // Drops this hold now, so that the library goes once the tool frees it too.
  void Release();

private:
  void* handle_;
};

// Whether a load by the bare name finds `file` (on the search path, or
// already loaded).
bool Findable(const char* file);

} // namespace stand_ins
