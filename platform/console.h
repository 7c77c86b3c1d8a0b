// Console behaviour of the tool's standard streams.
#pragma once

// Standard output reaches a console before each print returns (so progress
// dots appear one by one); redirected, it is buffered in 4096-byte blocks and
// flushed at exit. Standard input is read one character at a time, so a key
// wait takes exactly one character and leaves the rest to whoever reads next.
void ConfigureConsole();

// Reads one character from standard input and drops it; returns at once at
// end of input.
void WaitForKey();
