#pragma once

// The engine's inside may change at any time: only the engine, its tests and its
// benchmark are built with the definition that lets them include it.
#ifndef VESNOR_ENGINE_INSIDE
#error "the engine's inside is out of reach here: include its surface, vesnor/*.h"
#endif
