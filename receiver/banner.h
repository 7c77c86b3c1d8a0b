// The banner both commands print.
#pragma once

inline constexpr char Banner[] = "\t=== Zorb your VORTEL VGA v0.0 ===";
