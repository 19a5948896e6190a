#pragma once

namespace zumzik {

// Registers the artwork and the window texts that are compiled into the program. They live in a
// static library, whose registration nothing else would pull in; safe to call any number of times.
void registerBuiltInResources();

} // namespace zumzik
