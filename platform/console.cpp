#include "platform/console.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define RXFLASH_ISATTY _isatty
#define RXFLASH_FILENO _fileno
#else
#include <unistd.h>
#define RXFLASH_ISATTY isatty
#define RXFLASH_FILENO fileno
#endif

namespace {
char OutputBuffer[4096];
}

void ConfigureConsole() {
  if (RXFLASH_ISATTY(RXFLASH_FILENO(stdout))) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
  } else {
    std::setvbuf(stdout, OutputBuffer, _IOFBF, sizeof OutputBuffer);
  }
  std::setvbuf(stdin, nullptr, _IONBF, 0);
}

void WaitForKey() {
  std::getchar();
}
