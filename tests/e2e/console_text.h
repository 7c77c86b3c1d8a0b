// Console lines the tool prints, as the tests expect them.
#pragma once

namespace e2e {

inline constexpr char Banner[] = "\t=== Zorb your VORTEL VGA v0.0 ===\n";
inline constexpr char AmdGpio[] = "AMD VGA GPIO...\n";
inline constexpr char NvidiaSuccess[] = "         *** Firmware updated Success ***\n"
                                        "\n \t   [ Re-Start the Compucter ]\n";
inline constexpr char AmdSuccess[] = "      *** Firmware updated Success ***\n"
                                     "\n \t[ Re-Start the Compucter ]\n";
inline constexpr char UpdateFail[] = "      *** Firmware updated FAIL ***\n"
                                     "\n \t[ Re-Start the Compucter and Try it again]\n";

} // namespace e2e
