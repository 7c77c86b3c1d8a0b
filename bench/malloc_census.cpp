// A preload library that counts the heap allocations of a process by call
// stack, so that each can be traced to the code that asked for it:
//   LD_PRELOAD=libmalloc_census.so MALLOC_CENSUS_OUT=file program ...
// At the end of the process it writes one line per distinct stack:
//   <count> <bytes> <frame> <frame> ...
// each frame as module|offset|nearest exported symbol, from the caller of the
// allocation function outwards. Single-threaded programs only.
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace {

constexpr int MaxFrames = 32;
constexpr int SkippedFrames = 2; // Record and the interposed function
constexpr size_t TableSize = 1 << 15;

struct Stack {
  uint64_t Count;
  uint64_t Bytes;
  int Depth;
  void* Frames[MaxFrames];
};

Stack Table[TableSize];
size_t Distinct;
uint64_t Dropped;
// Set while the census itself runs: its own allocations (the unwinder that
// the first backtrace loads among them) are not counted.
bool Inside;

size_t Hash(void* const* frames, int depth) {
  uint64_t hash = 1469598103934665603ull;
  for (int i = 0; i < depth; ++i) {
    hash = (hash ^ reinterpret_cast<uintptr_t>(frames[i])) * 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

__attribute__((noinline)) void Record(size_t size) {
  if (Inside) {
    return;
  }
  Inside = true;
  void* frames[MaxFrames + SkippedFrames];
  const int total = backtrace(frames, MaxFrames + SkippedFrames);
  void* const* stack = frames + SkippedFrames;
  const int depth = total > SkippedFrames ? total - SkippedFrames : 0;
  for (size_t probe = Hash(stack, depth), tries = 0; tries < TableSize; ++probe, ++tries) {
    Stack& slot = Table[probe % TableSize];
    if (slot.Count == 0) {
      slot.Depth = depth;
      std::memcpy(slot.Frames, stack, sizeof(void*) * static_cast<size_t>(depth));
      ++Distinct;
    } else if (slot.Depth != depth ||
               std::memcmp(slot.Frames, stack, sizeof(void*) * static_cast<size_t>(depth)) != 0) {
      continue;
    }
    ++slot.Count;
    slot.Bytes += size;
    Inside = false;
    return;
  }
  ++Dropped;
  Inside = false;
}

void WriteAll(int fd, const char* text, size_t length) {
  while (length > 0) {
    const ssize_t written = write(fd, text, length);
    if (written <= 0) {
      return;
    }
    text += written;
    length -= static_cast<size_t>(written);
  }
}

__attribute__((destructor)) void Report() {
  Inside = true;
  const char* path = std::getenv("MALLOC_CENSUS_OUT");
  if (path == nullptr) {
    return;
  }
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) {
    return;
  }
  static char line[16384];
  for (const Stack& stack : Table) {
    if (stack.Count == 0) {
      continue;
    }
    int length = std::snprintf(line, sizeof line, "%llu %llu", static_cast<unsigned long long>(stack.Count),
                               static_cast<unsigned long long>(stack.Bytes));
    for (int i = 0; i < stack.Depth && length < static_cast<int>(sizeof line) - 600; ++i) {
      Dl_info info{};
      const uintptr_t address = reinterpret_cast<uintptr_t>(stack.Frames[i]);
      if (dladdr(stack.Frames[i], &info) != 0 && info.dli_fname != nullptr) {
        // The return address minus one lies in the calling instruction.
        length +=
            std::snprintf(line + length, sizeof line - static_cast<size_t>(length), " %s|0x%lx|%s", info.dli_fname,
                          static_cast<unsigned long>(address - 1 - reinterpret_cast<uintptr_t>(info.dli_fbase)),
                          info.dli_sname != nullptr ? info.dli_sname : "?");
      } else {
        length += std::snprintf(line + length, sizeof line - static_cast<size_t>(length), " ?|0x%lx|?",
                                static_cast<unsigned long>(address));
      }
    }
    line[length++] = '\n';
    WriteAll(fd, line, static_cast<size_t>(length));
  }
  if (Dropped != 0) {
    const int length = std::snprintf(line, sizeof line, "# %llu allocations beyond the table were not counted\n",
                                     static_cast<unsigned long long>(Dropped));
    WriteAll(fd, line, static_cast<size_t>(length));
  }
  close(fd);
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) void* malloc(size_t size) {
  Record(size);
  return __libc_malloc(size);
}

__attribute__((visibility("default"))) void* calloc(size_t count, size_t size) {
  Record(count * size);
  return __libc_calloc(count, size);
}

__attribute__((visibility("default"))) void* realloc(void* pointer, size_t size) {
  if (pointer == nullptr) {
    Record(size); // an allocation; a resize of a block is not a new one
  }
  return __libc_realloc(pointer, size);
}

__attribute__((visibility("default"))) void* memalign(size_t alignment, size_t size) {
  Record(size);
  return __libc_memalign(alignment, size);
}

__attribute__((visibility("default"))) void* aligned_alloc(size_t alignment, size_t size) {
  Record(size);
  return __libc_memalign(alignment, size);
}

__attribute__((visibility("default"))) int posix_memalign(void** result, size_t alignment, size_t size) {
  Record(size);
  void* pointer = __libc_memalign(alignment, size);
  if (pointer == nullptr) {
    return 12; // ENOMEM
  }
  *result = pointer;
  return 0;
}

__attribute__((visibility("default"))) void free(void* pointer) {
  __libc_free(pointer);
}

} // extern "C"
